#include "hosts/host_list_file.h"

#include <algorithm>
#include <array>

#include "common/text_file.h"

namespace wardel {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

constexpr unsigned char kEndsQuoted = 1;   // '"', CR, LF
constexpr unsigned char kEndsUnquoted = 2; // ',', CR, LF

constexpr std::array<unsigned char, 256> fieldEnds() {
    std::array<unsigned char, 256> ends{};
    ends['"'] = kEndsQuoted;
    ends[','] = kEndsUnquoted;
    ends['\r'] = kEndsQuoted | kEndsUnquoted;
    ends['\n'] = kEndsQuoted | kEndsUnquoted;
    return ends;
}
constexpr std::array<unsigned char, 256> kFieldEnds = fieldEnds();

// Walks the text field by field.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : text_(text) {}

    // Reads the next field into `field`; false (and `field` untouched) at the end of the text.
    bool next(std::string& field) {
        if (!fieldPending_ && !skipToNextField())
            return false;
        skipBlanks();
        if (peekIs('"'))
            quoted(field);
        else
            unquoted(field);
        endField();
        return true;
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }
    bool peekIs(char c) const { return !atEnd() && text_[pos_] == c; }
    void skipBlanks() {
        while (!atEnd() && isBlank(text_[pos_]))
            ++pos_;
    }
    void skipLineEnd() {
        if (peekIs('\r'))
            ++pos_;
        if (peekIs('\n'))
            ++pos_;
    }

    // At the start of a line: passes over blank lines; false when only blank lines were left.
    bool skipToNextField() {
        for (;;) {
            skipBlanks();
            if (atEnd())
                return false;
            if (!isLineEnd(text_[pos_]))
                return true;
            skipLineEnd();
        }
    }

    // The first character at or after `from` that ends a quoted (`kEndsQuoted`) or an unquoted
    // (`kEndsUnquoted`) field, or the end of the text. One table look-up a byte: the library's find_first_of
    // searches its set anew for every byte, which made reading a table of 32,767 targets cost more than the
    // rest of the start-up.
    std::size_t findEnd(std::size_t from, unsigned char kind) const {
        const auto* const data = reinterpret_cast<const unsigned char*>(text_.data());
        const std::size_t size = text_.size();
        while (from < size && (kFieldEnds[data[from]] & kind) == 0)
            ++from;
        return from;
    }

    void quoted(std::string& field) {
        const std::size_t start = pos_ + 1;
        pos_ = findEnd(start, kEndsQuoted);
        field.assign(text_.data() + start, pos_ - start);
        if (peekIs('"'))
            pos_ = findEnd(pos_ + 1, kEndsUnquoted);
    }

    void unquoted(std::string& field) {
        const std::size_t start = pos_;
        pos_ = findEnd(pos_, kEndsUnquoted);
        field.assign(text_.data() + start, pos_ - start);
        std::erase(field, '"');
        const auto last = field.find_last_not_of(" \t");
        field.erase(last == std::string::npos ? 0 : last + 1);
    }

    // Consumes the comma or line end after a field; after a comma another field follows, even an empty one.
    void endField() {
        fieldPending_ = peekIs(',');
        if (fieldPending_)
            ++pos_;
        else
            skipLineEnd();
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    bool fieldPending_ = false;
};

void appendField(std::string& out, const std::string& field, const char* after) {
    out += '"';
    out += field;
    out += after;
}

} // namespace

bool fitsHostList(std::string_view text) {
    // One table look-up a byte, as the reader finds a field's end; the set is exactly what ends a quoted field.
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return (kFieldEnds[static_cast<unsigned char>(c)] & kEndsQuoted) != 0; });
}

std::optional<std::string> formatHostList(const HostTable& grid) {
    std::string out;
    for (int row = 1; row <= grid.lastRow(); ++row) {
        const std::string& host = grid.cell(row, HostTable::colHost);
        const std::string& port = grid.cell(row, HostTable::colPort);
        const std::string& description = grid.cell(row, HostTable::colDescription);
        const std::string& limit = grid.cell(row, HostTable::colTimeoutLimit);
        if (!fitsHostList(host) || !fitsHostList(port) || !fitsHostList(description) || !fitsHostList(limit))
            return std::nullopt;
        out.reserve(out.size() + host.size() + port.size() + description.size() + limit.size() + 15);
        appendField(out, host, "\",");
        appendField(out, port, "\",");
        appendField(out, description, "\",");
        appendField(out, limit, "\"\r\n");
    }
    return out;
}

namespace {

// Reads the records of the text in order into the four fields `slot` gives for each; a record cut short
// keeps the fields it has. Each field is written once, straight into its place.
template <typename Slot> void readHostList(std::string_view text, Slot slot) {
    FieldReader reader(text);
    for (;;) {
        std::string host;
        if (!reader.next(host))
            return;
        auto fields = slot(std::move(host));
        for (std::string* field : fields)
            if (!reader.next(*field))
                return;
    }
}

// About one record a line: growing a list a record at a time would move every record several times.
std::size_t expectedRecords(std::string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}

} // namespace

std::vector<HostEntry> parseHostList(std::string_view text) {
    std::vector<HostEntry> entries;
    entries.reserve(expectedRecords(text));
    readHostList(text, [&entries](std::string host) {
        HostEntry& entry = entries.emplace_back();
        entry.host = std::move(host);
        return std::array{&entry.port, &entry.description, &entry.timeoutLimit};
    });
    return entries;
}

void loadHostListFile(const std::filesystem::path& file, HostTable& grid) {
    const auto text = readWholeFile(file);
    if (!text)
        return;

    // Once row 1 is filled every later record is appended, so those are gathered and appended in one step.
    std::vector<HostEntry> entries = parseHostList(*text);
    auto next = entries.begin();
    for (; next != entries.end() && grid.isEmpty(); ++next) {
        // An empty host into the empty slot leaves the table empty; this is how the empty table's single
        // record of four empty fields loads back.
        if (next->host.empty())
            continue;
        grid.setCell(1, HostTable::colHost, std::move(next->host));
        grid.setCell(1, HostTable::colPort, std::move(next->port));
        grid.setCell(1, HostTable::colDescription, std::move(next->description));
        grid.setCell(1, HostTable::colTimeoutLimit, std::move(next->timeoutLimit));
        grid.setCell(1, HostTable::colCount, "0");
    }
    const auto from = static_cast<std::size_t>(next - entries.begin());
    for (; next != entries.end(); ++next)
        next->count = "0";
    grid.appendRows(std::move(entries), from);
}

bool saveHostListFile(const std::filesystem::path& file, const HostTable& grid) {
    if (grid.rowCount() - 1 > kMaxHostListEntries)
        return false;
    const auto content = formatHostList(grid);
    return content && replaceFileAtomically(file, *content);
}

} // namespace wardel
