#pragma once
// The IPv4 address control: four number fields between dots. It takes
// digits only and hands back the dotted text made from its numbers, so
// nothing typed into it can start a name lookup. As the platform's address
// control: "." or a third digit moves to the next number, Backspace at a
// number's start moves back, dotted text typed or pasted fills the numbers
// from the field it lands in, and a number above 255 is refused with the
// range message.
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>

class QLineEdit;

class CIpAddressCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CIpAddressCtrl(QWidget* parent = nullptr);

    // Dotted text shows its four numbers; any other text leaves the fields
    // blank.
    void SetText(const QString& text);
    void SetAddress(uint32_t address); // the first number in the top byte
    void Clear();
    // Every field blank.
    bool IsBlank() const;
    // The address, blank fields read as 0; nothing when a field is above
    // 255, with `badField` (may be null) set to that field.
    std::optional<uint32_t> Address(int* badField = nullptr) const;
    // The dotted text of Address; empty when it has none.
    QString Text() const;
    void SetReadOnly(bool readOnly);

    QLineEdit* Field(int index) const { return fields_[size_t(index)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnEdited(size_t index, const QString& text);
    void MoveTo(size_t index, bool selectAll);
    void Show(size_t index, const QString& text);

    std::array<QLineEdit*, 4> fields_{};
    // What each field held after its last accepted change: a refused edit
    // goes back to it.
    std::array<QString, 4> kept_{};
};

// Reads an address control as an OK handler does: on a field above 255
// tells the range message, focuses the field and gives nothing.
std::optional<QString> ReadAddressField(CIpAddressCtrl& control);
