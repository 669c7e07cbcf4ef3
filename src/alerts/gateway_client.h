#pragma once

#include <cstdint>
#include <string>

#include "app/app_context.h"

namespace wardel {

// The gateway account state, held once for the whole program.
struct GatewayState {
    bool gatewayLoggedIn = false;
    std::string gatewayApiId;
    std::string creditText = "0";
    std::int32_t requestSeq = 0;
    bool lastRequestWasMail = false;
    bool setupLinkActive = true;
};

// The program's side of the SMS and mail gateway.
class GatewayClient {
public:
    explicit GatewayClient(AppContext& ctx);

    GatewayState& state() { return state_; }
    const GatewayState& state() const { return state_; }

    void GatewayLogon();

private:
    AppContext& ctx_;
    GatewayState state_;
};

}  // namespace wardel
