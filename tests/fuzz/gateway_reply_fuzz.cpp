#include <cstdint>
#include <string>

#include "alerts/gateway_client.h"
#include "fuzz_check.h"

using namespace wardel;

// Any bytes as a logon reply and as a credit reply.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string reply(fuzz::asText(data, size));
    LogonReply parsed;
    if (parseLogonReply(reply, parsed)) {
        fuzz::require(parsed.creditText.find('*') == std::string::npos, "the credit stops at the second star");
        fuzz::require(parsed.apiId.find('%') == std::string::npos, "the API id stops at the percent sign");
        // Two stars, the two skipped characters and the percent sign frame the fields.
        fuzz::require(parsed.creditText.size() + parsed.apiId.size() + 5 <= reply.size(), "the fields fit the reply");
    }
    if (const auto credit = creditFromReply(reply)) {
        fuzz::require(credit->size() <= reply.size(), "the credit is part of the reply");
        fuzz::require(credit->empty() || (credit->front() != ' ' && credit->back() != ' '), "the credit is trimmed");
    }
    return 0;
}
