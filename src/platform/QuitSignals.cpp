#include "platform/QuitSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>

#include <sys/socket.h>
#include <unistd.h>

namespace orvenda {

namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};
// The handler writes the signal's number into one end; the event loop reads the other.
int pipeEnds[2] = {-1, -1};
struct sigaction previous[kSignals.size()];

extern "C" void onQuitSignal(int signal)
{
    const int saved = errno;
    const char number = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &number, 1);
    errno = saved;
}

} // namespace

QuitSignals::QuitSignals(std::function<void(int signal)> quit, QObject* parent)
    : QObject(parent)
    , quit_(std::move(quit))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pipeEnds) != 0) {
        qWarning("The app cannot end in order on a signal: %s", std::strerror(errno));
        pipeEnds[0] = pipeEnds[1] = -1;
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &QuitSignals::arrived);
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t k = 0; k < kSignals.size(); ++k)
        ::sigaction(kSignals[k], &action, &previous[k]);
}

QuitSignals::~QuitSignals()
{
    if (!notifier_)
        return;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    for (std::size_t k = 0; k < kSignals.size(); ++k)
        ::sigaction(kSignals[k], ending_ ? &ignore : &previous[k], nullptr);
    notifier_.reset();
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void QuitSignals::arrived()
{
    char number = 0;
    while (::read(pipeEnds[0], &number, 1) == 1)
        if (!std::exchange(ending_, true) && quit_)
            quit_(number);
}

} // namespace orvenda
