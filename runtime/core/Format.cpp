#include "Format.h"

std::string Format(std::string_view fmt, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(fmt.size() + 64);
    auto next = args.begin();
    for (size_t i = 0; i < fmt.size(); ++i) {
        if (fmt[i] == '%' && i + 1 < fmt.size()) {
            if (fmt[i + 1] == 's') {
                if (next != args.end())
                    out.append(*next++);
                ++i;
                continue;
            }
            if (fmt[i + 1] == '%') {
                out.push_back('%');
                ++i;
                continue;
            }
        }
        out.push_back(fmt[i]);
    }
    return out;
}
