// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace orv::net {
class FileDownloader;
}

namespace orv::frontend {

// The small borderless window shown while a web file downloads: two fixed lines, the
// progress text, a bar and "Cancel". It follows the downloader it is attached to.
class TmyWEBWaitForm : public QWidget
{
    Q_OBJECT

public:
    explicit TmyWEBWaitForm(QWidget *parent = nullptr);

    void attach(net::FileDownloader &downloader);

    QLabel *ProgressL() const { return m_progressL; }
    QProgressBar *ProgressBar1() const { return m_progressBar1; }
    QPushButton *CancelButton() const { return m_cancel; }

    // Aborts the download and closes the window.
    void CancelClick();

signals:
    // A button was clicked whose click sound this is; the browser plays it.
    void clickSound(const QString &name);

private:
    void start();
    void setRange(qint64 maximum);
    void setValue(qint64 value);

    QPointer<net::FileDownloader> m_downloader;
    QLabel *m_progressL = nullptr;
    QProgressBar *m_progressBar1 = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace orv::frontend
