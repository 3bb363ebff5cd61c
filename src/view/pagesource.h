// What the pictures and prints of pages see of the main view: the form they picture, the plot
// whose screen-only marks stay out of them, and the pages to step through.
#pragma once

class CCurveCtrl;
class QPrintDialog;
class QWidget;

class IPageSource
{
public:
    virtual ~IPageSource() = default;
    // The form whose top left is pictured; the dialogs and messages open over it.
    virtual QWidget& GetPageForm() = 0;
    // The plot: its cross-hair and selection band are off while pictures are taken.
    virtual CCurveCtrl& GetPagePlot() = 0;
    // Before pictures are taken: what the plot marks is made complete, so no picture shows
    // marks still waiting for their analysis.
    virtual void FinishPageMarks() = 0;
    virtual int GetPageCount() const = 0;
    // Shows page nPage (1-based) as typed into the page box, fully drawn when it returns.
    virtual void ShowPage(int nPage) = 0;
    // Shows the print dialog and returns its result.
    virtual int ExecPrintDialog(QPrintDialog& dlg) = 0;
};
