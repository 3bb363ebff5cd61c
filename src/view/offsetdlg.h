// The offset of one recording shown beside others: seconds added to its times on the common
// time line, typed into one box. OK with anything but a whole number says which box is wrong
// and keeps the dialog open with the value that was there.
#pragma once

#include <QDialog>

#include <cstdint>
#include <optional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

// Ten years either way: a larger offset only moves a recording off any other.
inline constexpr std::int64_t kMaxOffsetSeconds = 10LL * 366 * 86400;

// A whole number of seconds as typed: blanks around it, an optional sign, digits; nothing for
// anything else or for more than kMaxOffsetSeconds either way.
std::optional<std::int64_t> ParseOffsetSeconds(const QString& strText);

class COffsetDlg : public QDialog
{
    Q_OBJECT

public:
    COffsetDlg(const QString& strRecording, std::int64_t nOffset, QWidget* pParent = nullptr);

    std::int64_t GetOffset() const { return m_nOffset; }
    QLineEdit* GetBox() const { return m_pBox; }
    QDialogButtonBox* GetButtons() const { return m_pButtons; }

    void accept() override;

private:
    QLabel* m_pCaption = nullptr;
    QLineEdit* m_pBox = nullptr;
    QDialogButtonBox* m_pButtons = nullptr;
    std::int64_t m_nOffset;
};
