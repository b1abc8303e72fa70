#include "core/common/cp949.hpp"

#include <cerrno>
#include <iconv.h>

namespace verdanel {

namespace {
std::string convert(std::string_view input, const char* to, const char* from, std::size_t badUnit) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(input);
    std::string out;
    out.reserve(input.size() * 2);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: replace the offending character and go on.
            out.push_back('?');
            std::size_t skip = 1;
            if (badUnit == 0) {
                // UTF-8 input: skip one whole character when it is well formed.
                unsigned char c = static_cast<unsigned char>(*in);
                skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
                for (std::size_t k = 1; k < skip; ++k) {
                    if (k >= inLeft || (static_cast<unsigned char>(in[k]) & 0xC0) != 0x80) { skip = k; break; }
                }
            } else if (static_cast<unsigned char>(*in) >= 0x81 && inLeft >= 2) {
                skip = 2;
            }
            if (skip > inLeft) skip = inLeft;
            in += skip;
            inLeft -= skip;
        }
    }
    iconv_close(cd);
    return out;
}
}  // namespace

std::string utf8ToCp949(std::string_view utf8) { return convert(utf8, "CP949", "UTF-8", 0); }
std::string cp949ToUtf8(std::string_view cp949) { return convert(cp949, "UTF-8", "CP949", 1); }

}  // namespace verdanel
