// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace orv::net {
class FileDownloader;
class MasterFetch;
} // namespace orv::net

namespace orv::frontend {

// The small borderless window shown while a web file downloads: two fixed lines, the
// progress text, a bar and "Cancel". It follows the downloader and the master fetch it is
// attached to; with several master sources at once, the text and the bar count the sources
// that are through, and Cancel ends them all.
class TmyWEBWaitForm : public QWidget
{
    Q_OBJECT

public:
    explicit TmyWEBWaitForm(QWidget *parent = nullptr);

    void attach(net::FileDownloader &downloader);
    void attach(net::MasterFetch &fetch);

    QLabel *ProgressL() const { return m_progressL; }
    QProgressBar *ProgressBar1() const { return m_progressBar1; }
    QPushButton *CancelButton() const { return m_cancel; }

    // Aborts the downloads and closes the window.
    void CancelClick();

signals:
    // A button was clicked whose click sound this is; the browser plays it.
    void clickSound(const QString &name);

private:
    void start();
    void setRange(qint64 maximum);
    void setValue(qint64 value);

    template <typename Source> void follow(Source &source);

    QPointer<net::FileDownloader> m_downloader;
    QPointer<net::MasterFetch> m_fetch;
    QLabel *m_progressL = nullptr;
    QProgressBar *m_progressBar1 = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace orv::frontend
