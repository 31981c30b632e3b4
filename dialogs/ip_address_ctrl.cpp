#include "dialogs/ip_address_ctrl.h"

#include "dialogs/field_check.h"
#include "dialogs/link_settings.h"
#include "platform/ui/modal.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

CIpAddressCtrl::CIpAddressCtrl(QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (i > 0)
            row->addWidget(new QLabel(QStringLiteral("."), this));
        auto* field = new QLineEdit(this);
        field->setValidator(digits);
        field->setMaxLength(3);
        field->setAlignment(Qt::AlignCenter);
        field->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
        fields_[i] = field;
        row->addWidget(field);
    }
    row->addStretch();
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
        fields_[i]->setText(QString::number((address >> (24 - 8 * i)) & 0xFF));
}

void CIpAddressCtrl::Clear()
{
    for (QLineEdit* field : fields_)
        field->clear();
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
