// Any bytes sent to the running app's hand-over, split into reads as the input's first
// byte says. Every message the reader completes holds at most kMaxFiles absolute paths,
// none empty, longer than kMaxPathUnits or holding a NUL, and encodes back to the bytes
// that brought it; a refusal is final.

#include "FuzzCheck.h"
#include "platform/HandOverMessage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace orvenda;
using orvenda::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // 1 to 256 bytes a read.
    const std::size_t chunk = std::size_t(data[0]) + 1;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const std::size_t length = size - 1;
    HandOverMessage reader;
    std::size_t messageStart = 0, fed = 0;
    bool refused = false;
    while (fed < length && !refused) {
        const std::size_t step = std::min(chunk, length - fed);
        HandOverMessage::Status status = reader.read(QByteArrayView(bytes + fed, static_cast<qsizetype>(step)));
        fed += step;
        while (status == HandOverMessage::Status::Complete) {
            const QStringList files = reader.take();
            check(files.size() <= qsizetype(HandOverMessage::kMaxFiles));
            qsizetype encodedSize = 4;
            for (const QString& file : files) {
                check(file.startsWith(QLatin1Char('/')) && !file.contains(QChar(0)));
                check(file.size() <= qsizetype(HandOverMessage::kMaxPathUnits));
                encodedSize += 4 + 2 * file.size();
            }
            const auto again = HandOverMessage::encode(files);
            check(again.size() == 1 && again[0].size() == encodedSize);
            check(QByteArrayView(again[0]) == QByteArrayView(bytes + messageStart, encodedSize));
            messageStart += static_cast<std::size_t>(encodedSize);
            status = reader.read({});
        }
        refused = status == HandOverMessage::Status::Refused;
    }
    if (refused)
        check(reader.read(QByteArrayView("\0\0\0\0", 4)) == HandOverMessage::Status::Refused);
    return 0;
}
