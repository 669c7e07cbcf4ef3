#include "alerts/gateway_client.h"

namespace wardel {

GatewayClient::GatewayClient(AppContext& ctx) : ctx_(ctx) {}

void GatewayClient::GatewayLogon() { ctx_.platform.window.show(); }

}  // namespace wardel
