// The output commands of the main view; the pictures and prints are the page output's.
#include "view/childview.h"

#include <QPrintDialog>

void CChildView::OnFileSaveAs()
{
    m_output.SaveAs();
}

QString CChildView::SavePicture(const QString& strPath)
{
    return m_output.SavePicture(strPath);
}

QImage CChildView::TakePicture()
{
    return m_output.TakePicture();
}

void CChildView::OnCopyPicture()
{
    m_output.CopyPicture();
}

int CChildView::ExecPrintDialog(QPrintDialog& dlg)
{
    return dlg.exec();
}

void CChildView::OnFilePrint()
{
    m_output.Print();
}

CChildView::EPrintResult
CChildView::PrintPages(QPrinter& printer, int nFrom, int nTo,
                       const std::function<void(int)>& fnBeforePage,
                       const std::function<bool(QPainter&, const QRect&)>& fnLastSheet)
{
    return m_output.PrintPages(printer, nFrom, nTo, fnBeforePage, fnLastSheet);
}
