// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/tmdichild.h"

#include <algorithm>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolTip>
#include <QVBoxLayout>

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>

#include "quillet/core/unrealscriptsyn.h"
#include "quillet/ui/unrealscriptlexer.h"

namespace quillet::ui {

namespace {

constexpr int kLineNumberMargin = 0;
constexpr int kBookmarkMargin = 1;
// Marker numbers 0 to 9 are the bookmarks.
constexpr int kFirstBookmarkMarker = 0;

// The digit of the digit-row key that was pressed, whatever the keyboard layout and the
// modifiers make of its text (Shift+2 is "@" on US keyboards, '"' on German ones, and the
// unshifted keys of a French keyboard are no digits at all): the platform's key code of
// the physical key decides. Keypad digits and events without a native key code (made up by
// the program itself) fall back to the key's digit. -1 for other keys.
int digitOfKey(const QKeyEvent &event)
{
#if defined(Q_OS_WIN)
    // Virtual key codes '0' to '9' belong to the digit row on every layout.
    const quint32 virtualKey = event.nativeVirtualKey();
    if (virtualKey >= 0x30 && virtualKey <= 0x39)
        return static_cast<int>(virtualKey - 0x30);
#elif defined(Q_OS_MACOS)
    static constexpr std::array<quint32, 10> kDigitRow = {0x1D, 0x12, 0x13, 0x14, 0x15, 0x17, 0x16, 0x1A, 0x1C, 0x19};
    for (std::size_t digit = 0; digit < kDigitRow.size(); ++digit) {
        if (event.nativeVirtualKey() == kDigitRow[digit])
            return static_cast<int>(digit);
    }
#else
    // X11 and Wayland key codes (evdev + 8): 10 to 18 are the keys 1 to 9, 19 is 0.
    const quint32 keyCode = event.nativeScanCode();
    if (keyCode >= 10 && keyCode <= 19)
        return static_cast<int>((keyCode - 9) % 10);
#endif
    const int key = event.key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return key - Qt::Key_0;
    return -1;
}

// The editing control whose undo (by key, by its context menu or by a call) is refused
// once the window's undo depth is used up.
class DepthLimitedEdit : public QsciScintilla
{
public:
    DepthLimitedEdit(QWidget *parent, std::function<bool()> mayUndo)
        : QsciScintilla(parent)
        , m_mayUndo(std::move(mayUndo))
    {}

    void undo() override
    {
        if (m_mayUndo())
            QsciScintilla::undo();
    }

private:
    std::function<bool()> m_mayUndo;
};

} // namespace

TMDIChild::TMDIChild(QWidget *parent)
    : QWidget(parent)
    , m_highlighter(std::make_unique<core::TUnrealScriptSyn>())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(style()->standardIcon(QStyle::SP_FileIcon));
    mwCustomEdit1 = new DepthLimitedEdit(this, [this] { return m_undoSteps > 0; });
    mwCustomEdit1->setObjectName(QStringLiteral("mwCustomEdit1"));
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    m_caretPanel = new QLabel(StatusBar1);
    m_modifiedPanel = new QLabel(StatusBar1);
    for (QLabel *panel : {m_caretPanel, m_modifiedPanel}) {
        panel->setFixedWidth(100);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        StatusBar1->addWidget(panel);
    }
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mwCustomEdit1, 1);
    layout->addWidget(StatusBar1);

    setupEditor();
    setupKeyMap();
    mwCustomEdit1->installEventFilter(this);
    mwCustomEdit1->viewport()->installEventFilter(this);
    setFocusProxy(mwCustomEdit1);
}

TMDIChild::~TMDIChild()
{
    // The control must let go of the lexer before the highlighter it reads goes away.
    mwCustomEdit1->setLexer(nullptr);
}

void TMDIChild::setupEditor()
{
    QsciScintilla *edit = mwCustomEdit1;
    // 8-bit document: the file's bytes are the document's bytes, shown through Latin-1.
    edit->setUtf8(false);
    edit->setEolMode(QsciScintilla::EolWindows);

    m_lexer = new UnrealScriptLexer(*m_highlighter, edit);
    m_lexer->setFallbackColors(edit->palette().color(QPalette::Text), edit->palette().color(QPalette::Base));
    edit->setLexer(m_lexer);
    m_highlighter->setAttributeChangeHandler([this] { m_lexer->applyAttributes(); });

    edit->setMarginType(kLineNumberMargin, QsciScintilla::NumberMargin);
    edit->setMarginWidth(kLineNumberMargin, 50);
    edit->setMarginLineNumbers(kLineNumberMargin, true);
    edit->setMarginType(kBookmarkMargin, QsciScintilla::SymbolMargin);
    edit->setMarginWidth(kBookmarkMargin, 14);
    edit->setMarginSensitivity(kBookmarkMargin, false);
    unsigned markerMask = 0;
    for (int n = 0; n < kBookmarks; ++n) {
        edit->markerDefine(QsciScintilla::Circle, kFirstBookmarkMarker + n);
        edit->setMarkerBackgroundColor(QColor(0, 128, 128), kFirstBookmarkMarker + n);
        markerMask |= 1u << (kFirstBookmarkMarker + n);
    }
    edit->setMarginMarkerMask(kBookmarkMargin, static_cast<int>(markerMask));

    edit->setTabWidth(2);
    edit->setIndentationWidth(0); // indent by the tab width
    edit->setIndentationsUseTabs(false);
    edit->setTabIndents(true);
    edit->setBackspaceUnindents(false);
    edit->setBraceMatching(QsciScintilla::SloppyBraceMatch);
    // The caret may go past the end of a line, also in column selections.
    edit->SendScintilla(QsciScintillaBase::SCI_SETVIRTUALSPACEOPTIONS,
                        static_cast<unsigned long>(QsciScintillaBase::SCVS_RECTANGULARSELECTION |
                                                   QsciScintillaBase::SCVS_USERACCESSIBLE));

    connect(edit, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int, int modificationType, const char *, int, int, int, int, int, int, int) {
                trackUndoSteps(modificationType);
            });
    QScrollBar *scrollBar = edit->verticalScrollBar();
    connect(scrollBar, &QScrollBar::sliderMoved, this, &TMDIChild::showScrollHint);
    connect(scrollBar, &QScrollBar::sliderReleased, this, &TMDIChild::hideScrollHint);
    connect(edit, &QsciScintilla::textChanged, this, &TMDIChild::mwCustomEdit1Change);
    connect(edit, &QsciScintilla::selectionChanged, this, &TMDIChild::mwCustomEdit1SelectionChange);
    connect(edit, &QsciScintilla::cursorPositionChanged, this, &TMDIChild::UpdateCaretPanel);
}

void TMDIChild::setupKeyMap()
{
    QsciCommandSet *commands = mwCustomEdit1->standardCommands();
    commands->clearKeys();
    commands->clearAlternateKeys();
    const int shift = Qt::SHIFT;
    const int ctrl = Qt::CTRL;
    const int alt = Qt::ALT;
    struct Binding
    {
        QsciCommand::Command command;
        int key;
        int alternate;
    };
    const Binding bindings[] = {
        {QsciCommand::LineUp, Qt::Key_Up, 0},
        {QsciCommand::LineUpExtend, shift | Qt::Key_Up, 0},
        {QsciCommand::LineDown, Qt::Key_Down, 0},
        {QsciCommand::LineDownExtend, shift | Qt::Key_Down, 0},
        {QsciCommand::CharLeft, Qt::Key_Left, 0},
        {QsciCommand::CharLeftExtend, shift | Qt::Key_Left, 0},
        {QsciCommand::CharRight, Qt::Key_Right, 0},
        {QsciCommand::CharRightExtend, shift | Qt::Key_Right, 0},
        {QsciCommand::WordLeft, ctrl | Qt::Key_Left, 0},
        {QsciCommand::WordLeftExtend, ctrl | shift | Qt::Key_Left, 0},
        {QsciCommand::WordRight, ctrl | Qt::Key_Right, 0},
        {QsciCommand::WordRightExtend, ctrl | shift | Qt::Key_Right, 0},
        {QsciCommand::LineScrollUp, ctrl | Qt::Key_Up, 0},
        {QsciCommand::LineScrollDown, ctrl | Qt::Key_Down, 0},
        {QsciCommand::PageUp, Qt::Key_PageUp, 0},
        {QsciCommand::PageUpExtend, shift | Qt::Key_PageUp, 0},
        {QsciCommand::PageDown, Qt::Key_PageDown, 0},
        {QsciCommand::PageDownExtend, shift | Qt::Key_PageDown, 0},
        {QsciCommand::StutteredPageUp, ctrl | Qt::Key_PageUp, 0},
        {QsciCommand::StutteredPageUpExtend, ctrl | shift | Qt::Key_PageUp, 0},
        {QsciCommand::StutteredPageDown, ctrl | Qt::Key_PageDown, 0},
        {QsciCommand::StutteredPageDownExtend, ctrl | shift | Qt::Key_PageDown, 0},
        {QsciCommand::Home, Qt::Key_Home, 0},
        {QsciCommand::HomeExtend, shift | Qt::Key_Home, 0},
        {QsciCommand::LineEnd, Qt::Key_End, 0},
        {QsciCommand::LineEndExtend, shift | Qt::Key_End, 0},
        {QsciCommand::DocumentStart, ctrl | Qt::Key_Home, 0},
        {QsciCommand::DocumentStartExtend, ctrl | shift | Qt::Key_Home, 0},
        {QsciCommand::DocumentEnd, ctrl | Qt::Key_End, 0},
        {QsciCommand::DocumentEndExtend, ctrl | shift | Qt::Key_End, 0},
        {QsciCommand::EditToggleOvertype, Qt::Key_Insert, 0},
        {QsciCommand::Delete, Qt::Key_Delete, 0},
        {QsciCommand::DeleteBack, Qt::Key_Backspace, 0},
        {QsciCommand::DeleteWordLeft, ctrl | Qt::Key_Backspace, 0},
        {QsciCommand::DeleteWordRight, ctrl | Qt::Key_T, 0},
        {QsciCommand::LineDelete, ctrl | Qt::Key_Y, 0},
        {QsciCommand::DeleteLineRight, ctrl | shift | Qt::Key_Y, 0},
        {QsciCommand::Newline, Qt::Key_Return, ctrl | Qt::Key_M},
        {QsciCommand::Tab, Qt::Key_Tab, 0},
        {QsciCommand::Backtab, shift | Qt::Key_Tab, 0},
        // Undo (Ctrl+Z, Alt+Backspace) goes through handleExtraKey, which keeps its depth.
        {QsciCommand::Redo, ctrl | shift | Qt::Key_Z, alt | shift | Qt::Key_Backspace},
        {QsciCommand::SelectAll, ctrl | Qt::Key_A, 0},
        {QsciCommand::SelectionCopy, ctrl | Qt::Key_C, ctrl | Qt::Key_Insert},
        {QsciCommand::SelectionCut, ctrl | Qt::Key_X, shift | Qt::Key_Delete},
        {QsciCommand::Paste, ctrl | Qt::Key_V, shift | Qt::Key_Insert},
    };
    for (const Binding &binding : bindings) {
        QsciCommand *command = commands->find(binding.command);
        if (!command)
            continue;
        command->setKey(binding.key);
        if (binding.alternate)
            command->setAlternateKey(binding.alternate);
    }
}

bool TMDIChild::handleExtraKey(const QKeyEvent &event)
{
    const int key = event.key();
    const Qt::KeyboardModifiers mods = event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool ctrl = mods == Qt::ControlModifier;
    const bool ctrlShift = mods == (Qt::ControlModifier | Qt::ShiftModifier);
    if ((ctrl && key == Qt::Key_Z) || (mods == Qt::AltModifier && key == Qt::Key_Backspace)) {
        mwCustomEdit1->undo();
        return true;
    }
    if (!ctrl && !ctrlShift)
        return false;

    const int digit = digitOfKey(event);
    if (digit >= 0) {
        if (ctrlShift)
            setBookmark(digit);
        else
            gotoBookmark(digit);
        return true;
    }
    if (ctrl && key == Qt::Key_N) {
        insertLine();
        return true;
    }
    if (!ctrlShift)
        return false;
    switch (key) {
    case Qt::Key_I:
        indentBlock(true);
        return true;
    case Qt::Key_U:
        indentBlock(false);
        return true;
    case Qt::Key_N:
        mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_SETSELECTIONMODE, QsciScintillaBase::SC_SEL_STREAM);
        return true;
    case Qt::Key_C:
        mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_SETSELECTIONMODE, QsciScintillaBase::SC_SEL_RECTANGLE);
        return true;
    case Qt::Key_L:
        mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_SETSELECTIONMODE, QsciScintillaBase::SC_SEL_LINES);
        return true;
    case Qt::Key_B:
        gotoMatchingBracket();
        return true;
    default:
        return false;
    }
}

bool TMDIChild::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mwCustomEdit1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (handleExtraKey(*key)) {
            UpdateCaretPanel();
            return true;
        }
    }
    // The caret panel follows every key and mouse action.
    if ((watched == mwCustomEdit1 && event->type() == QEvent::KeyRelease) ||
        (watched == mwCustomEdit1->viewport() && event->type() == QEvent::MouseButtonRelease))
        UpdateCaretPanel();
    return QWidget::eventFilter(watched, event);
}

void TMDIChild::gotoMatchingBracket()
{
    // The bracket after the caret, else the one before it; the caret lands on its partner.
    const long caret = mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    long match = mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_BRACEMATCH, static_cast<unsigned long>(caret), 0L);
    if (match < 0 && caret > 0)
        match =
            mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_BRACEMATCH, static_cast<unsigned long>(caret - 1), 0L);
    if (match >= 0)
        mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(match));
}

void TMDIChild::setFileName(const QString &name)
{
    m_fileName = name;
    setWindowTitle(name);
}

void TMDIChild::setModified(bool modified)
{
    m_modified = modified;
    updateStatePanel();
}

void TMDIChild::updateStatePanel()
{
    m_modifiedPanel->setText(m_readOnly ? tr("Read only") : (m_modified ? tr("Modified") : QString()));
}

void TMDIChild::loadText(const QByteArray &bytes)
{
    m_loading = true;
    mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
    if (!bytes.isEmpty())
        mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()),
                                     bytes.constData());
    mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
    m_undoSteps = 0;
    mwCustomEdit1->setCursorPosition(0, 0);
    m_loading = false;
}

QByteArray TMDIChild::text() const
{
    const long length = mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const char *bytes =
        reinterpret_cast<const char *>(mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    if (!bytes || length <= 0)
        return {};
    return QByteArray(bytes, static_cast<qsizetype>(length));
}

void TMDIChild::applyEditorOptions(const core::EditorOptions &options)
{
    core::applyTokenStyles(options, *m_highlighter);
    // Before any options exist (a cancelled first run) the control keeps its own font and
    // tab width rather than taking an empty font name, size 0 or tab width 0.
    QFont font = m_lexer->baseFont();
    if (!options.EditorFontName.isEmpty())
        font.setFamily(options.EditorFontName);
    if (options.EditorFontSize > 0)
        font.setPointSize(options.EditorFontSize);
    m_lexer->setBaseFont(font);
    mwCustomEdit1->setMarginsFont(font);
    if (options.EditorTabTranslation > 0)
        mwCustomEdit1->setTabWidth(options.EditorTabTranslation);
    // Keep the caret visible on the scheme's canvas: draw it in the identifiers' colour.
    const core::TmwHighLightAttributes &identifiers = m_highlighter->IdentifierAttri();
    mwCustomEdit1->setCaretForegroundColor(identifiers.foreground() != core::clNone
                                               ? UnrealScriptLexer::toQColor(identifiers.foreground())
                                               : palette().color(QPalette::Text));
    mwCustomEdit1->recolor();
}

QString TMDIChild::caretPanelText() const
{
    return m_caretPanel->text();
}

QString TMDIChild::modifiedPanelText() const
{
    return m_modifiedPanel->text();
}

void TMDIChild::UpdateCaretPanel()
{
    int line = 0;
    int index = 0;
    mwCustomEdit1->getCursorPosition(&line, &index);
    const long virtualSpace = mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONNCARETVIRTUALSPACE, 0UL);
    m_caretPanel->setText(QStringLiteral("%1:%2").arg(line + 1).arg(index + virtualSpace + 1));
}

void TMDIChild::mwCustomEdit1Change()
{
    if (m_loading)
        return;
    if (!m_modified)
        setModified(true);
    UpdateCaretPanel();
}

void TMDIChild::mwCustomEdit1SelectionChange()
{
    // Selected text shows in the keyword colours swapped.
    const core::TmwHighLightAttributes *keywords = m_highlighter->StandardAttribute(2);
    if (!keywords)
        return;
    m_selectionForeground =
        keywords->background() != core::clNone ? UnrealScriptLexer::toQColor(keywords->background()) : QColor();
    m_selectionBackground =
        keywords->foreground() != core::clNone ? UnrealScriptLexer::toQColor(keywords->foreground()) : QColor();
    if (m_selectionForeground.isValid())
        mwCustomEdit1->setSelectionForegroundColor(m_selectionForeground);
    else
        mwCustomEdit1->resetSelectionForegroundColor();
    if (m_selectionBackground.isValid())
        mwCustomEdit1->setSelectionBackgroundColor(m_selectionBackground);
    else
        mwCustomEdit1->resetSelectionBackgroundColor();
}

void TMDIChild::setBookmark(int number)
{
    if (number < 0 || number >= kBookmarks)
        return;
    int line = 0;
    int index = 0;
    mwCustomEdit1->getCursorPosition(&line, &index);
    mwCustomEdit1->markerDeleteAll(kFirstBookmarkMarker + number);
    mwCustomEdit1->markerAdd(line, kFirstBookmarkMarker + number);
    m_bookmarkColumn[static_cast<std::size_t>(number)] = index;
}

int TMDIChild::bookmarkLine(int number) const
{
    if (number < 0 || number >= kBookmarks)
        return -1;
    return mwCustomEdit1->markerFindNext(0, 1u << (kFirstBookmarkMarker + number));
}

void TMDIChild::gotoBookmark(int number)
{
    const int line = bookmarkLine(number);
    if (line < 0)
        return;
    const int length = mwCustomEdit1->lineLength(line);
    const int column = std::min(m_bookmarkColumn[static_cast<std::size_t>(number)], std::max(0, length));
    mwCustomEdit1->setCursorPosition(line, column);
    mwCustomEdit1->ensureLineVisible(line);
}

void TMDIChild::indentBlock(bool indent)
{
    int lineFrom = 0;
    int indexFrom = 0;
    int lineTo = 0;
    int indexTo = 0;
    mwCustomEdit1->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    if (lineFrom < 0) {
        mwCustomEdit1->getCursorPosition(&lineFrom, &indexFrom);
        lineTo = lineFrom;
        indexTo = indexFrom;
    } else if (indexTo == 0 && lineTo > lineFrom) {
        --lineTo; // a selection ending at a line start does not take that line
    }
    mwCustomEdit1->beginUndoAction();
    for (int line = lineFrom; line <= lineTo; ++line) {
        if (indent)
            mwCustomEdit1->indent(line);
        else
            mwCustomEdit1->unindent(line);
    }
    mwCustomEdit1->endUndoAction();
}

void TMDIChild::insertLine()
{
    int line = 0;
    int index = 0;
    mwCustomEdit1->getCursorPosition(&line, &index);
    mwCustomEdit1->insert(QStringLiteral("\r\n"));
    mwCustomEdit1->setCursorPosition(line, index);
}

void TMDIChild::closeEvent(QCloseEvent *event)
{
    if (m_closeQuery && !m_closeQuery(*this)) {
        event->ignore();
        return;
    }
    event->accept();
}

void TMDIChild::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    mwCustomEdit1->setReadOnly(readOnly);
    updateStatePanel();
}

void TMDIChild::trackUndoSteps(int modificationType)
{
    // Each recorded edit that starts a new undo step adds one, up to the depth; the oldest
    // step beyond it can no longer be undone. Undo and redo move back and forth within it.
    if (m_loading)
        return;
    const bool lastStep = (modificationType & QsciScintillaBase::SC_LASTSTEPINUNDOREDO) != 0;
    if ((modificationType & QsciScintillaBase::SC_PERFORMED_USER) &&
        (modificationType & QsciScintillaBase::SC_STARTACTION))
        m_undoSteps = std::min(m_undoSteps + 1, kUndoDepth);
    else if ((modificationType & QsciScintillaBase::SC_PERFORMED_UNDO) && lastStep)
        m_undoSteps = std::max(m_undoSteps - 1, 0);
    else if ((modificationType & QsciScintillaBase::SC_PERFORMED_REDO) && lastStep)
        m_undoSteps = std::min(m_undoSteps + 1, kUndoDepth);
}

void TMDIChild::showScrollHint()
{
    // While the scroll box is dragged, a tip beside it names the line that will be on top.
    QScrollBar *bar = mwCustomEdit1->verticalScrollBar();
    const long line = mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE,
                                                   static_cast<unsigned long>(std::max(0, bar->sliderPosition())));
    m_scrollHint = tr("Line %1").arg(line + 1);
    const int span = std::max(1, bar->maximum() - bar->minimum() + bar->pageStep());
    const int y = bar->height() * (bar->sliderPosition() - bar->minimum() + bar->pageStep() / 2) / span;
    QToolTip::showText(bar->mapToGlobal(QPoint(-bar->width() * 4, y)), m_scrollHint, bar);
}

void TMDIChild::hideScrollHint()
{
    m_scrollHint.clear();
    QToolTip::hideText();
}

} // namespace quillet::ui
