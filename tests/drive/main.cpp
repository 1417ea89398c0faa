// orvenda-drive: the app run from a script without a display (see AppDriver).

#include "launcher/AppDriver.h"

int main(int argc, char** argv) { return orvenda::AppDriver::main(argc, argv); }
