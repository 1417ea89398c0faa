#include "core/services/CSVLoader.h"

#include "core/services/ServiceSlot.h"
#include "language/ErrorNumbers.h"

namespace orvenda {

namespace {

ServiceSlot<CSVLoader::Loader>& registered()
{
    static ServiceSlot<CSVLoader::Loader> loader;
    return loader;
}

} // namespace

void CSVLoader::setLoader(Loader loader)
{
    registered().set(std::move(loader));
}

int CSVLoader::loadCSV(Calculator& calc, std::string_view text)
{
    const Loader loader = registered().get();
    return loader ? loader(calc, text) : int{ErrCsvBad};
}

} // namespace orvenda
