// The pictures of the main view's pages: the top left of the form, the plot with its axis and
// time labels, saved as an image file, copied, or printed one sheet per page.
#pragma once

#include <QImage>
#include <QString>

#include <functional>

class IPageSource;
class QPainter;
class QPrinter;
class QRect;

class CPageOutput
{
public:
    enum class EPrintResult
    {
        Printed,
        CannotStart, // the printer or file would not take the job
        Failed,
    };

    explicit CPageOutput(IPageSource& source) : m_source(source) {}
    CPageOutput(const CPageOutput&) = delete;
    CPageOutput& operator=(const CPageOutput&) = delete;

    // Save as: asks for the file, then writes the page shown; a message says why it was not.
    void SaveAs();
    // The picture of the page shown in the format strPath's suffix names. Returns why nothing
    // was written, or an empty text.
    QString SavePicture(const QString& strPath);
    // The picture Save as writes for the page shown; null when the form is too small.
    QImage TakePicture();
    // That picture to the clipboard.
    void CopyPicture();
    // Print: asks for the printer and the pages, then prints them; a message says what failed.
    void Print();
    // Pages nFrom to nTo, one sheet each, centred at screen size; page nTo is shown after.
    // fnBeforePage hears each page number before its sheet. fnLastSheet, if given, draws one
    // more sheet after the pages into the printable area and returns false when it could not
    // draw all it had to. A page or sheet that could not be started, or a last sheet that fell
    // short, makes the printing Failed.
    EPrintResult PrintPages(QPrinter& printer, int nFrom, int nTo,
                            const std::function<void(int)>& fnBeforePage,
                            const std::function<bool(QPainter&, const QRect&)>& fnLastSheet);

private:
    // The pages the user chose in the print dialog; false after Cancel.
    bool AskPages(QPrinter& printer, int& nFrom, int& nTo);

    IPageSource& m_source;
};
