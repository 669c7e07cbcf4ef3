#include "alerts/async_read.h"

namespace wardel {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// Length of the well-formed UTF-8 sequence a lead byte starts (0 for a byte that cannot start one), and
// the range its second byte must fall in, which rules out overlong forms, surrogates and code points
// above U+10FFFF.
struct LeadByte {
    int length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
};

LeadByte classifyLead(unsigned char b) {
    if (b >= 0xC2 && b <= 0xDF)
        return {2};
    if (b == 0xE0)
        return {3, 0xA0, 0xBF};
    if (b == 0xED)
        return {3, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF)
        return {3};
    if (b == 0xF0)
        return {4, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3)
        return {4};
    if (b == 0xF4)
        return {4, 0x80, 0x8F};
    return {};
}

} // namespace

std::string replyBytesToText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            text += bytes[i++];
            continue;
        }
        const LeadByte lead = classifyLead(b);
        std::size_t taken = 1; // the lead byte, then every continuation byte that still fits the sequence
        while (lead.length > 0 && taken < static_cast<std::size_t>(lead.length) && i + taken < bytes.size()) {
            const auto next = static_cast<unsigned char>(bytes[i + taken]);
            const unsigned char low = taken == 1 ? lead.secondLow : 0x80;
            const unsigned char high = taken == 1 ? lead.secondHigh : 0xBF;
            if (next < low || next > high)
                break;
            ++taken;
        }
        if (lead.length > 0 && taken == static_cast<std::size_t>(lead.length))
            text.append(bytes.substr(i, taken));
        else
            text.append(kReplacement);
        i += taken;
    }
    return text;
}

AsyncRead::AsyncRead(UrlFetcher& fetcher)
    : fetcher_(fetcher),
      fetchEnds_(fetcher_.subscribeCompletion([this](const FetchResult& result) { fetchEnded(result); })) {}

void AsyncRead::setDataFromURL(std::string value) {
    dataFromUrl_ = std::move(value);
    if (!dataFromUrl_.empty())
        fetcher_.start(propName_, dataFromUrl_);
}

void AsyncRead::fetchEnded(const FetchResult& result) {
    if (result.ok)
        dataFromUrl_ = replyBytesToText(result.body);
    if (onComplete_)
        onComplete_(result);
}

} // namespace wardel
