#include "dialogs/ip_address_ctrl.h"

#include "dialogs/field_check.h"
#include "dialogs/link_settings.h"
#include "platform/ui/modal.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <algorithm>

namespace {

constexpr int kFieldDigits = 3;
constexpr int kMaxNumber = 255;

} // namespace

CIpAddressCtrl::CIpAddressCtrl(QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    // Dots and blanks pass the validator so that pasted dotted text reaches
    // OnEdited whole; each field keeps only its number.
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.\\s]*")), this);
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (i > 0)
            row->addWidget(new QLabel(QStringLiteral("."), this));
        auto* field = new QLineEdit(this);
        field->setValidator(digits);
        field->setAlignment(Qt::AlignCenter);
        field->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, i](const QString& text) { OnEdited(i, text); });
        fields_[i] = field;
        row->addWidget(field);
    }
    row->addStretch();
}

bool CIpAddressCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const auto at = std::find(fields_.begin(), fields_.end(), watched);
    if (at == fields_.end() || at == fields_.begin() || key->key() != Qt::Key_Backspace)
        return QWidget::eventFilter(watched, event);
    const QLineEdit* field = *at;
    if (field->cursorPosition() != 0 || field->hasSelectedText())
        return QWidget::eventFilter(watched, event);
    MoveTo(size_t(at - fields_.begin()) - 1, false);
    return true;
}

void CIpAddressCtrl::OnEdited(size_t index, const QString& text)
{
    QString compact = text;
    compact.remove(QRegularExpression(QStringLiteral("\\s")));
    const QStringList parts = compact.split(QLatin1Char('.'));
    // A dot in an empty number, or more numbers than fields remain, is not
    // an address: the field keeps what it had.
    bool fits = (parts.size() == 1 || !parts.front().isEmpty()) && size_t(parts.size()) <= fields_.size() - index;
    bool tooLarge = false;
    for (const QString& part : parts) {
        fits = fits && part.size() <= kFieldDigits;
        tooLarge = tooLarge || (!part.isEmpty() && part.toInt() > kMaxNumber);
    }
    if (!fits || tooLarge) {
        const bool wasSelected = parts.size() > 1 && parts.front().isEmpty();
        Show(index, kept_[index]);
        // A dot typed over a number just entered leaves it to be typed over.
        if (wasSelected)
            fields_[index]->selectAll();
        if (tooLarge) {
            ui::inform(this, RangeMessage(0, kMaxNumber));
            fields_[index]->setFocus();
        }
        return;
    }
    for (size_t j = 0; j < size_t(parts.size()); ++j)
        if (j == 0 || !parts[qsizetype(j)].isEmpty())
            Show(index + j, parts[qsizetype(j)]);
    const size_t last = index + size_t(parts.size()) - 1;
    if (parts.size() > 1)
        MoveTo(last, parts.back().isEmpty());
    else if (parts.front().size() == kFieldDigits && fields_[index]->cursorPosition() == kFieldDigits &&
             index + 1 < fields_.size())
        MoveTo(index + 1, true);
}

void CIpAddressCtrl::MoveTo(size_t index, bool selectAll)
{
    QLineEdit* field = fields_[index];
    field->setFocus();
    if (selectAll)
        field->selectAll();
    else
        field->end(false);
}

void CIpAddressCtrl::Show(size_t index, const QString& text)
{
    kept_[index] = text;
    if (fields_[index]->text() != text)
        fields_[index]->setText(text);
}

void CIpAddressCtrl::SetText(const QString& text)
{
    if (const auto address = ParseDottedAddress(text.toStdString()))
        SetAddress(*address);
    else
        Clear();
}

void CIpAddressCtrl::SetAddress(uint32_t address)
{
    for (size_t i = 0; i < fields_.size(); ++i)
        Show(i, QString::number((address >> (24 - 8 * i)) & 0xFF));
}

void CIpAddressCtrl::Clear()
{
    for (size_t i = 0; i < fields_.size(); ++i)
        Show(i, QString());
}

bool CIpAddressCtrl::IsBlank() const
{
    for (const QLineEdit* field : fields_)
        if (!field->text().isEmpty())
            return false;
    return true;
}

std::optional<uint32_t> CIpAddressCtrl::Address(int* badField) const
{
    uint32_t address = 0;
    for (size_t i = 0; i < fields_.size(); ++i) {
        const QString text = fields_[i]->text();
        const auto value = text.isEmpty() ? std::optional<int64_t>(0) : ParseIntField(text, 0, 255);
        if (!value) {
            if (badField)
                *badField = int(i);
            return std::nullopt;
        }
        address = address << 8 | uint32_t(*value);
    }
    return address;
}

QString CIpAddressCtrl::Text() const
{
    const auto address = Address();
    return address ? QString::fromStdString(DottedAddress(*address)) : QString();
}

void CIpAddressCtrl::SetReadOnly(bool readOnly)
{
    for (QLineEdit* field : fields_)
        field->setReadOnly(readOnly);
}

std::optional<QString> ReadAddressField(CIpAddressCtrl& control)
{
    int bad = 0;
    if (const auto address = control.Address(&bad))
        return QString::fromStdString(DottedAddress(*address));
    ui::inform(&control, RangeMessage(0, 255));
    control.Field(bad)->setFocus();
    control.Field(bad)->selectAll();
    return std::nullopt;
}
