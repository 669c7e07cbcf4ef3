#include "ui/log_view.h"

#include <QTextBlock>
#include <QTextCursor>

namespace wardel::qt {

namespace {

// The line as text to insert, ending with its own line end, and how many text lines it makes.
QString asBlocks(const std::string& line, int& blocks) {
    QString text = QString::fromStdString(line);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    blocks = static_cast<int>(text.count(QLatin1Char('\n'))) + 1;
    text += QLatin1Char('\n');
    return text;
}

} // namespace

LogView::LogView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    // Months of lines must not pile up in an undo history nobody can use.
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Every new line moves the shown lines down, so each one lays out and paints its text again; Latin text
    // skips the text shaper, which costs more than the rest. Only this setting; the rest of the font is the
    // window's.
    QFont unshaped;
    unshaped.setStyleStrategy(QFont::PreferNoShaping);
    setFont(unshaped);
}

LogView::~LogView() {
    follow(nullptr);
}

void LogView::follow(LogBox* box) {
    box_ = box;
    refill();
}

void LogView::setFed(bool fed) {
    if (fed_ == fed)
        return;
    fed_ = fed;
    refill();
}

void LogView::refill() {
    observing_.reset();
    clear();
    blocksPerLine_.clear();
    if (!box_ || !fed_)
        return;
    QString text;
    for (std::size_t i = 0; i < box_->lineCount(); ++i) {
        int blocks = 0;
        text += asBlocks(box_->line(i), blocks);
        blocksPerLine_.push_back(blocks);
    }
    setPlainText(text);
    observing_ = box_->observe(*this);
}

void LogView::linePrepended(const std::string& line) {
    int blocks = 0;
    const QString text = asBlocks(line, blocks);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::Start);
    cursor.insertText(text);
    blocksPerLine_.push_front(blocks);
}

void LogView::lineAppended(const std::string& line) {
    int blocks = 0;
    const QString text = asBlocks(line, blocks);
    // The document always ends with the empty line after the last CR LF; the new line goes before it.
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    blocksPerLine_.push_back(blocks);
}

void LogView::oldestLineDropped() {
    if (blocksPerLine_.empty())
        return;
    const int blocks = blocksPerLine_.back();
    blocksPerLine_.pop_back();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::PreviousBlock, QTextCursor::KeepAnchor, blocks);
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

} // namespace wardel::qt
