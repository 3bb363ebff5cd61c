// The Curve Color/Line Pattern dialog: a colour swatch and a line width box per curve. A
// colour is stored the moment it is chosen; the widths are stored by OK.
#pragma once

#include "settings/templatedialog.h"

#include <cstdint>

class CColorDlg : public CTemplateDialog
{
    Q_OBJECT

public:
    explicit CColorDlg(QWidget* pParent = nullptr);

    // Fills the width boxes and paints the swatches in the stored colours.
    void OnInitDialog();
    // A click on swatch i (Temp PV, Humi PV, Temp SV, Humi SV): choose and store its colour.
    void OnSwatch(int i);
    std::uint32_t GetSwatchColor(int i) const { return m_crSwatch[i]; }

    // Line widths in pixels: Temp PV, Humi PV, Temp SV, Humi SV.
    unsigned m_nWidth[4] = {1, 1, 1, 1};

protected:
    bool OnOK() override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void PaintSwatch(int i);

    std::uint32_t m_crSwatch[4] = {0, 0, 0, 0};
};
