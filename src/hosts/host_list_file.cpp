#include "hosts/host_list_file.h"

#include <algorithm>

namespace wardel {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Walks the text field by field.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : text_(text) {}

    // The next field, or nullopt at the end of the text.
    std::optional<std::string> next() {
        if (!fieldPending_ && !skipToNextField())
            return std::nullopt;
        skipBlanks();
        std::string field = peekIs('"') ? quoted() : unquoted();
        endField();
        return field;
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

    std::string quoted() {
        const std::size_t start = pos_ + 1;
        pos_ = std::min(text_.find_first_of("\"\r\n", start), text_.size());
        std::string field(text_.substr(start, pos_ - start));
        if (peekIs('"'))
            pos_ = std::min(text_.find_first_of(",\r\n", pos_ + 1), text_.size());
        return field;
    }

    std::string unquoted() {
        const std::size_t start = pos_;
        pos_ = std::min(text_.find_first_of(",\r\n", pos_), text_.size());
        std::string field(text_.substr(start, pos_ - start));
        std::erase(field, '"');
        const auto last = field.find_last_not_of(" \t");
        field.erase(last == std::string::npos ? 0 : last + 1);
        return field;
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
    return text.find_first_of("\"\r\n") == std::string_view::npos;
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

std::vector<HostRecord> parseHostList(std::string_view text) {
    std::vector<HostRecord> records;
    FieldReader reader(text);
    for (;;) {
        auto host = reader.next();
        if (!host)
            return records;
        HostRecord& record = records.emplace_back();
        record.host = std::move(*host);
        for (std::string* field : {&record.port, &record.description, &record.timeoutLimit}) {
            auto value = reader.next();
            if (!value)
                return records;
            *field = std::move(*value);
        }
    }
}

} // namespace wardel
