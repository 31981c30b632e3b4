#include "dialogs/matrix_switch.h"

#include "core/delay.h"
#include "core/language_tr.h"
#include "corlane/fstr.h"
#include "model/processor.h"

std::string SwitchToken(int input, int output)
{
    return qz::vok::fstr_format("%dD%d", input, output);
}

QString SwitchLabel(int input, int output)
{
    return TranslateText(QStringLiteral("输入")) + QString::number(input) + TranslateText(QStringLiteral("至输出")) +
           QString::number(output);
}

std::vector<std::string> SwitchLines(const std::vector<std::string>& tokens)
{
    std::vector<std::string> lines;
    for (size_t i = 0; i < tokens.size(); i += matrixswitch::kTokensPerLine) {
        const size_t end = std::min(tokens.size(), i + matrixswitch::kTokensPerLine);
        std::string line = "*";
        for (size_t j = i; j < end; ++j) {
            if (j > i)
                line += ';';
            line += tokens[j];
        }
        lines.push_back(line + "#\r\n");
    }
    return lines;
}

bool SendSwitchLines(CQelProcessor& processor, const std::vector<std::string>& tokens)
{
    const auto lines = SwitchLines(tokens);
    for (size_t i = 0; i < lines.size(); ++i) {
        processor.QueueCommand(lines[i]);
        const bool full = tokens.size() >= (i + 1) * matrixswitch::kTokensPerLine;
        if (full)
            Delay(matrixswitch::kFullLinePauseMs);
    }
    return !lines.empty();
}
