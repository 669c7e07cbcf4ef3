#pragma once

#include <QValidator>

namespace wardel::qt {

// Keeps a one-line box on one line: text pasted with line breaks keeps only its first line, so no field can
// put a line break into setting.ini.
class SingleLineValidator : public QValidator {
public:
    using QValidator::QValidator;

    // `input` is the box's text after an edit, the cursor at the end of what was inserted: everything from
    // the first line break up to the cursor goes, and any break left after it.
    State validate(QString& input, int& pos) const override {
        qsizetype lineBreak = -1;
        for (qsizetype i = 0; i < input.size() && lineBreak < 0; ++i) {
            if (input[i] == QLatin1Char('\r') || input[i] == QLatin1Char('\n'))
                lineBreak = i;
        }
        if (lineBreak < 0)
            return Acceptable;
        const qsizetype end = pos > lineBreak ? pos : input.size();
        input.remove(lineBreak, end - lineBreak);
        input.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
        pos = static_cast<int>(lineBreak);
        return Acceptable;
    }
};

} // namespace wardel::qt
