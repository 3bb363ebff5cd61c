// Writing a file so that a failure leaves an earlier one of its name as it was, and telling
// whether two names lead to one file.
#pragma once

#include <QString>

// Whether both names lead to one file, however they are spelt (a link, "./", another case on
// a system that ignores it). False when either does not exist.
bool IsSameFile(const QString& strA, const QString& strB);

// A new file beside the target, which takes the target's name only once it is complete: a
// write that fails leaves an earlier file as it was and no partial file. The new file is
// removed unless it was put in place.
class CFileBeside
{
public:
    explicit CFileBeside(QString strTarget) : m_strTarget(std::move(strTarget)) {}
    ~CFileBeside();
    CFileBeside(const CFileBeside&) = delete;
    CFileBeside& operator=(const CFileBeside&) = delete;

    // Creates the new file; empty, with the reason in strReason, when it cannot be made.
    QString Create(QString& strReason);
    // Puts the new file in the target's place, replacing it. False, with the reason in
    // strReason, when that fails.
    bool Replace(QString& strReason);

private:
    QString m_strTarget;
    QString m_strPath;
};
