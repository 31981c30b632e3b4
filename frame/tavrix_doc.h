#pragma once
#include <QString>

// The program's one document. It has no file; it carries only the title
// that a new document gets.
class CTavrixDoc {
public:
    bool OnNewDocument()
    {
        title_ = QStringLiteral("Quarnel");
        return true;
    }
    const QString& GetTitle() const { return title_; }

private:
    QString title_;
};
