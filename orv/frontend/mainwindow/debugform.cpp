// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/debugform.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "orv/frontend/formstorage/formstorage.h"
#include "platform/desktop/shell.h"
#include "platform/textfile.h"

namespace orv::frontend {

namespace {

// Web addresses in log lines become links: http(s)://, ftp:// and www. forms.
QString linkified(const QString &line)
{
    static const QRegularExpression url(QStringLiteral(R"((?:https?://|ftp://|www\.)[^\s<>"']+)"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString html;
    qsizetype last = 0;
    auto it = url.globalMatch(line);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        html += line.mid(last, m.capturedStart() - last).toHtmlEscaped();
        QString target = m.captured();
        if (target.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
            target.prepend(QStringLiteral("http://"));
        html += QStringLiteral("<a style=\"color:#5fd7ff\" href=\"%1\">%2</a>")
                    .arg(target.toHtmlEscaped(), m.captured().toHtmlEscaped());
        last = m.capturedEnd();
    }
    html += line.mid(last).toHtmlEscaped();
    return html;
}

} // namespace

TDebugForm::TDebugForm(QWidget *parent)
    : QDialog(parent)
    , m_text(new QTextBrowser(this))
    , m_saveDialog(new QObject(this))
{
    setObjectName(QStringLiteral("DebugForm"));
    setWindowTitle(QStringLiteral("Log window"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    resize(378, 233);
    m_saveDialog->setObjectName(QStringLiteral("SaveDialog1"));
    m_saveDialog->setProperty("FileName", QStringLiteral("OrvaneSvc_log"));
    m_saveDialog->setProperty("InitialDir", QString());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setOpenLinks(false);
    m_text->setUndoRedoEnabled(false);
    m_text->setStyleSheet(QStringLiteral("QTextBrowser { background: black; color: #d0d0d0; }"));
    m_text->setContextMenuPolicy(Qt::CustomContextMenu);
    m_text->installEventFilter(this);
    m_text->viewport()->installEventFilter(this);
    connect(m_text, &QTextBrowser::anchorClicked, this,
            [](const QUrl &url) { platform::shell::openUrl(url.toString()); });
    connect(m_text, &QWidget::customContextMenuRequested, this, &TDebugForm::showContextMenu);

    // The first entry names the program and the moment the log started.
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    log(QStringLiteral("ORVANE // ") + locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
        locale.toString(now.time(), QLocale::LongFormat));
    log(QString());
}

TDebugForm::~TDebugForm()
{
    // The settings storage saves while the controls still exist.
    TFormStorage::formDestroying(this);
}

QString TDebugForm::settingsSection()
{
    return QStringLiteral("Debug windows");
}

QStringList TDebugForm::storedProperties()
{
    return {QStringLiteral("SaveDialog1.FileName"), QStringLiteral("SaveDialog1.InitialDir")};
}

QString TDebugForm::saveFileName() const
{
    return m_saveDialog->property("FileName").toString();
}

QString TDebugForm::saveInitialDir() const
{
    return m_saveDialog->property("InitialDir").toString();
}

void TDebugForm::setSaveFileName(const QString &name)
{
    m_saveDialog->setProperty("FileName", name);
}

void TDebugForm::setSaveInitialDir(const QString &dir)
{
    m_saveDialog->setProperty("InitialDir", dir);
}

void TDebugForm::log(const QString &text)
{
    if (m_lines.size() >= kMaxLines) {
        clearLog();
        return;
    }
    m_lines.append(text);
    appendRendered(text);
}

void TDebugForm::appendRendered(const QString &text)
{
    QScrollBar *bar = m_text->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    // append() guesses whether its text is rich text and takes a line without anything that
    // looks like a tag as plain text, which would show the escapes ("&gt;") themselves; the
    // span makes every line the rich text it is.
    m_text->append(QStringLiteral("<span>") + linkified(text) + QStringLiteral("</span>"));
    if (atEnd)
        bar->setValue(bar->maximum());
}

int TDebugForm::lineCount() const
{
    return static_cast<int>(m_lines.size());
}

QStringList TDebugForm::lines() const
{
    return m_lines;
}

void TDebugForm::setLines(const QStringList &lines)
{
    clearLog();
    m_lines = lines;
    QString html;
    for (const QString &line : lines)
        html += QStringLiteral("<div>") + linkified(line) + QStringLiteral("</div>");
    m_text->setHtml(html);
}

void TDebugForm::clearLog()
{
    m_lines.clear();
    m_text->clear();
}

void TDebugForm::setReplyStoreAccess(std::function<QStringList()> lines, std::function<bool(const QString &)> load)
{
    m_storeLines = std::move(lines);
    m_storeLoad = std::move(load);
}

bool TDebugForm::saveToFile(const QString &path)
{
    if (!platform::textfile::writeLines(path, m_lines)) {
        QMessageBox::critical(this, windowTitle(), QStringLiteral("Cannot create file %1").arg(path));
        return false;
    }
    return true;
}

void TDebugForm::saveWithDialog()
{
    QFileDialog dialog(this, QString(), saveInitialDir(), QStringLiteral("Plain Text (*.txt)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(saveFileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    setSaveFileName(path);
    setSaveInitialDir(QFileInfo(path).absolutePath());
    saveToFile(path);
}

void TDebugForm::showContextMenu(const QPoint &pos)
{
    QMenu menu(this);
    const bool hasLines = !m_lines.isEmpty();
    menu.addAction(QStringLiteral("Clear"), this, &TDebugForm::clearLog)->setEnabled(hasLines);
    menu.addAction(QStringLiteral("Select all"), m_text, &QTextBrowser::selectAll)->setEnabled(hasLines);
    menu.addAction(QStringLiteral("Copy selected to clipboard"), m_text, &QTextBrowser::copy)
        ->setEnabled(m_text->textCursor().hasSelection());
    menu.addAction(QStringLiteral("Save to File"), this, &TDebugForm::saveWithDialog)->setEnabled(hasLines);
    menu.exec(m_text->viewport()->mapToGlobal(pos));
}

void TDebugForm::showReplyStore()
{
    if (m_storeLines)
        setLines(m_storeLines());
}

void TDebugForm::loadReplyStore()
{
    if (!m_storeLoad)
        return;
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("all files (*)"));
    if (path.isEmpty())
        return;
    if (!m_storeLoad(path)) {
        QMessageBox::critical(this, windowTitle(), QStringLiteral("Cannot open file %1").arg(path));
        return;
    }
    showReplyStore();
}

bool TDebugForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        if (m_quickKey && text == QLatin1String("z")) {
            m_quickKey = false;
            showReplyStore();
            return true;
        }
        if (m_quickKey && text == QLatin1String("x")) {
            m_quickKey = false;
            loadReplyStore();
            return true;
        }
        m_quickKey = text == QLatin1String("q");
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace orv::frontend
