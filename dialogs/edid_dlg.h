#pragma once
// Choosing the EDID an input announces, from EDID.cfg.
#include <cstdint>
#include <memory>
#include <vector>

#include "dialogs/edid_list.h"
#include "dialogs/modal_dialog.h"

class CQelProcessor;
class QComboBox;
class QLabel;

class CSetEDIDDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CSetEDIDDlg(QWidget* parent = nullptr);

    int m_nEdid = 0; // in: the input's, out: the chosen one

    QComboBox* EdidList() const { return list_; }
    const std::vector<EdidEntry>& Entries() const { return entries_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    std::vector<EdidEntry> entries_;
    QComboBox* list_ = nullptr;
    QLabel* label_ = nullptr;
};

// The source tree's "设置EDID" on an input: the password rule, the dialog
// preset with the input's EDID, and on OK the choice stored and sent.
void RunSetEdid(QWidget* parent, const std::shared_ptr<CQelProcessor>& processor, uint32_t sourceId);
