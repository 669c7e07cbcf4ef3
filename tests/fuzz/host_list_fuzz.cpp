#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "hosts/host_list_file.h"
#include "hosts/host_table.h"

using namespace wardel;

// Any bytes as host.ini. Every field read can be written back, and the list written back reads the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<HostEntry> records = parseHostList(fuzz::asText(data, size));
    HostTable grid;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const int row = i == 0 ? 1 : grid.appendRow();
        grid.setCell(row, HostTable::colHost, records[i].host);
        grid.setCell(row, HostTable::colPort, records[i].port);
        grid.setCell(row, HostTable::colDescription, records[i].description);
        grid.setCell(row, HostTable::colTimeoutLimit, records[i].timeoutLimit);
    }
    const auto written = formatHostList(grid);
    fuzz::require(written.has_value(), "every field read fits the file");
    fuzz::require(records.empty() || parseHostList(*written) == records, "the list written reads back the same");
    return 0;
}
