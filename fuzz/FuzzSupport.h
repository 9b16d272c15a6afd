#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// An invariant of the code under test; a broken one is a finding, reported
// with its place and ended by abort() so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                         \
    do {                                                                                              \
        if (!(condition)) {                                                                           \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition);    \
            std::abort();                                                                             \
        }                                                                                             \
    } while (false)

namespace Fuzz {

inline QByteArray bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Takes bytes off the front of the input: selector bytes first, the rest as
// the frame or text under test.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}

    std::size_t remaining() const { return size - pos; }
    // 0 when the input is used up.
    std::uint8_t takeByte() { return pos < size ? data[pos++] : 0; }
    QByteArray takeBytes(std::size_t count)
    {
        const std::size_t n = count < remaining() ? count : remaining();
        QByteArray out(reinterpret_cast<const char*>(data + pos), static_cast<qsizetype>(n));
        pos += n;
        return out;
    }
    QByteArray rest() { return takeBytes(remaining()); }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
};

// Text from fuzz bytes: UTF-8 (invalid sequences become U+FFFD) or, for
// `utf16`, raw UTF-16 units so that lone surrogates and any QChar reach the
// reader too.
inline QString text(const QByteArray& bytes, bool utf16)
{
    if (!utf16)
        return QString::fromUtf8(bytes);
    return QString(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);
}

} // namespace Fuzz
