#include "app/CodePage.h"

#include <QList>

#include <QSysInfo>

#include <cerrno>
#include <iconv.h>

namespace {

// Unicode travels through iconv as UTF-32 in host byte order, one code unit
// per character, so an unconvertible character is skipped by one unit.
constexpr const char* utf32Name = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-32LE" : "UTF-32BE";
constexpr char32_t replacementCharacter = 0xFFFD;

class Converter {
public:
    Converter(const char* to, const char* from) : handle(iconv_open(to, from)) {}
    ~Converter()
    {
        if (isValid())
            iconv_close(handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool isValid() const { return handle != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return handle; }

private:
    iconv_t handle;
};

} // namespace

namespace CodePage {

QByteArray fromUnicode(const QString& text, const char* codePage)
{
    // toUcs4() already turns unpaired surrogates into U+FFFD, which no code
    // page here holds, so they come out as '?' like any other stranger.
    const QList<uint> characters = text.toUcs4();
    QByteArray out;
    Converter converter(codePage, utf32Name);
    if (!converter.isValid()) {
        // An unknown code page still keeps plain ASCII readable.
        out.reserve(characters.size());
        for (uint c : characters)
            out.append(c < 0x80 ? char(c) : '?');
        return out;
    }

    // CP936 needs at most two bytes a character; the loop grows the buffer
    // should some code page need more.
    out.resize(characters.size() * 2 + 16);
    char* in = reinterpret_cast<char*>(const_cast<uint*>(characters.constData()));
    size_t inLeft = size_t(characters.size()) * sizeof(uint);
    qsizetype written = 0;

    while (inLeft > 0) {
        if (out.size() - written < 8)
            out.resize(out.size() * 2);
        char* dst = out.data() + written;
        size_t left = size_t(out.size() - written);
        const size_t result = iconv(converter.get(), &in, &inLeft, &dst, &left);
        written = dst - out.data();
        if (result != size_t(-1))
            break;
        if (errno == E2BIG)
            continue;
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // Not representable in this code page.
        out[written++] = '?';
        in += sizeof(uint);
        inLeft -= sizeof(uint);
    }
    out.truncate(written);
    return out;
}

QString toUnicode(const QByteArray& bytes, const char* codePage)
{
    Converter converter(utf32Name, codePage);
    if (!converter.isValid()) {
        QString out;
        out.reserve(bytes.size());
        for (char b : bytes)
            out.append(uchar(b) < 0x80 ? QChar(uchar(b)) : QChar(replacementCharacter));
        return out;
    }

    // Every input byte yields at most one character.
    QList<char32_t> characters(bytes.size() + 4);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    qsizetype count = 0;

    while (inLeft > 0) {
        char* dst = reinterpret_cast<char*>(characters.data() + count);
        size_t left = size_t(characters.size() - count) * sizeof(char32_t);
        const size_t result = iconv(converter.get(), &in, &inLeft, &dst, &left);
        count = qsizetype(reinterpret_cast<char32_t*>(dst) - characters.data());
        if (result != size_t(-1))
            break;
        if (errno == E2BIG) {
            characters.resize(characters.size() * 2);
        } else if (errno == EILSEQ || errno == EINVAL) {
            // A byte that starts no valid sequence, or a sequence cut off at
            // the end: one U+FFFD, and resynchronise on the next byte.
            if (count == characters.size())
                characters.resize(characters.size() * 2);
            characters[count++] = replacementCharacter;
            ++in;
            --inLeft;
        } else {
            break;
        }
    }
    return QString::fromUcs4(characters.constData(), count);
}

} // namespace CodePage
