#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace wardel::test {

// A request's query value as a usual web server reads it: "+" is a blank and "%XX" the byte XX. Takes a
// whole URL or a request target; empty when the key is missing.
inline std::string queryValue(std::string_view url, std::string_view key) {
    const auto hex = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    std::string_view query = url.substr(url.find('?') == std::string_view::npos ? url.size() : url.find('?') + 1);
    while (!query.empty()) {
        const std::string_view pair = query.substr(0, query.find('&'));
        query.remove_prefix(std::min(query.size(), pair.size() + 1));
        if (pair.substr(0, pair.find('=')) != key || pair.find('=') == std::string_view::npos)
            continue;
        std::string value;
        for (std::size_t i = pair.find('=') + 1; i < pair.size(); ++i) {
            if (pair[i] == '+') {
                value += ' ';
            } else if (pair[i] == '%' && i + 2 < pair.size()) {
                value += static_cast<char>(hex(pair[i + 1]) * 16 + hex(pair[i + 2]));
                i += 2;
            } else {
                value += pair[i];
            }
        }
        return value;
    }
    return {};
}

// The path of a URL or request target, without the gateway base and the query.
inline std::string queryPath(std::string_view url) {
    const std::size_t start = url.find("/txgate/");
    const std::string_view rest = url.substr(start == std::string_view::npos ? 0 : start);
    return std::string(rest.substr(0, rest.find('?')));
}

} // namespace wardel::test
