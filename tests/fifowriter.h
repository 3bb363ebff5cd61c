// A named pipe that a test writes when it chooses: a file open on it cannot finish loading
// before the test lets it, however fast or slow the machine.
#pragma once

#include <QString>
#include <QTimer>

#include <functional>
#include <string>

#if defined(_WIN32)
// Windows has no named pipe that opens by a file name as a recording does: the tests that need
// one skip there.
#define ASSERT_FIFO_MADE(fifo) GTEST_SKIP() << "Windows has no named pipe that opens as a file"

class CFifoWriter
{
public:
    explicit CFifoWriter(const QString&) {}
    bool IsMade() const { return false; }
    bool TryOpen() { return false; }
    void WhenReaderArrives(std::function<void()>) {}
    bool Write(const std::string&) { return false; }
    void Close() {}
};
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#define ASSERT_FIFO_MADE(fifo) ASSERT_TRUE((fifo).IsMade())

class CFifoWriter
{
public:
    explicit CFifoWriter(const QString& strPath) : m_strPath(strPath.toStdString())
    {
        m_bMade = mkfifo(m_strPath.c_str(), 0600) == 0;
    }
    ~CFifoWriter() { Close(); }
    CFifoWriter(const CFifoWriter&) = delete;
    CFifoWriter& operator=(const CFifoWriter&) = delete;

    bool IsMade() const { return m_bMade; }

    // Opens the writing end once a reader has opened the pipe; false while none has.
    bool TryOpen()
    {
        if (m_nFd < 0)
            m_nFd = open(m_strPath.c_str(), O_WRONLY | O_NONBLOCK);
        return m_nFd >= 0;
    }
    // Runs fn once from the event loop as soon as a reader has opened the pipe, while the
    // load that opened it is still waiting for its bytes.
    void WhenReaderArrives(std::function<void()> fn)
    {
        m_poll.callOnTimeout([this, fn = std::move(fn)] {
            if (!TryOpen())
                return;
            m_poll.stop();
            fn();
        });
        m_poll.start(20);
    }
    // Small texts only: they fit the pipe's buffer whatever the reader does.
    bool Write(const std::string& strText)
    {
        return m_nFd >= 0 &&
               write(m_nFd, strText.data(), strText.size()) == static_cast<ssize_t>(strText.size());
    }
    // The reader then sees the end of the file.
    void Close()
    {
        if (m_nFd >= 0)
            close(m_nFd);
        m_nFd = -1;
    }

private:
    std::string m_strPath;
    bool m_bMade = false;
    int m_nFd = -1;
    QTimer m_poll;
};
#endif
