// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/tmdichild.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>

#include <Qsci/qsciscintilla.h>
#include <gtest/gtest.h>

using quillet::ui::TMDIChild;

namespace {

struct KeyCase
{
    const char *name;
    QByteArray text;
    int line;
    int index;
    int key;
    Qt::KeyboardModifiers modifiers;
    QByteArray expected;
};

} // namespace

TEST(TMDIChild, KeyMapEditsText)
{
    const std::vector<KeyCase> cases = {
        {"Ctrl+Y deletes the line", "one\r\ntwo\r\nthree", 1, 1, Qt::Key_Y, Qt::ControlModifier, "one\r\nthree"},
        {"Ctrl+Shift+Y deletes to the line end", "one two\r\nx", 0, 3, Qt::Key_Y,
         Qt::ControlModifier | Qt::ShiftModifier, "one\r\nx"},
        {"Ctrl+T deletes the word after the caret", "alpha beta", 0, 0, Qt::Key_T, Qt::ControlModifier, "beta"},
        {"Ctrl+Backspace deletes the word before", "alpha beta", 0, 10, Qt::Key_Backspace, Qt::ControlModifier,
         "alpha "},
        {"Ctrl+M breaks the line", "ab", 0, 1, Qt::Key_M, Qt::ControlModifier, "a\r\nb"},
        {"Ctrl+N inserts a line", "ab", 0, 1, Qt::Key_N, Qt::ControlModifier, "a\r\nb"},
        {"Tab inserts blanks", "ab", 0, 0, Qt::Key_Tab, Qt::NoModifier, "  ab"},
        {"Ctrl+Shift+I indents", "a\r\nb", 1, 0, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier, "a\r\n  b"},
        {"Ctrl+Shift+U unindents", "    a", 0, 0, Qt::Key_U, Qt::ControlModifier | Qt::ShiftModifier, "  a"},
    };
    for (const KeyCase &c : cases) {
        TMDIChild child;
        child.loadText(c.text);
        child.mwCustomEdit1->setCursorPosition(c.line, c.index);
        QTest::keyClick(child.mwCustomEdit1, static_cast<Qt::Key>(c.key), c.modifiers);
        EXPECT_EQ(child.text(), c.expected) << c.name;
    }
}

TEST(TMDIChild, UndoAndRedoKeys)
{
    TMDIChild child;
    child.loadText("x");
    child.mwCustomEdit1->setCursorPosition(0, 1);
    QTest::keyClicks(child.mwCustomEdit1, QStringLiteral("y"));
    EXPECT_TRUE(child.Modified());
    QTest::keyClick(child.mwCustomEdit1, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(child.text(), QByteArray("x"));
    QTest::keyClick(child.mwCustomEdit1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(child.text(), QByteArray("xy"));
    QTest::keyClick(child.mwCustomEdit1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(child.text(), QByteArray("x"));
    // Loading is no undo step.
    QTest::keyClick(child.mwCustomEdit1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(child.text(), QByteArray("x"));
}

TEST(TMDIChild, UndoGoesBackTenStepsAtMost)
{
    TMDIChild child;
    child.loadText("");
    // Typing at the line start each time makes every letter an undo step of its own.
    const QString letters = QStringLiteral("abcdefghijkl");
    for (const QChar letter : letters) {
        QTest::keyClick(child.mwCustomEdit1, Qt::Key_Home);
        QTest::keyClicks(child.mwCustomEdit1, QString(letter));
    }
    ASSERT_EQ(child.text(), QByteArray("lkjihgfedcba"));
    for (int i = 0; i < 12; ++i)
        QTest::keyClick(child.mwCustomEdit1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(child.text(), QByteArray("ba"));
    child.mwCustomEdit1->undo(); // the context menu's way: refused as well
    EXPECT_EQ(child.text(), QByteArray("ba"));
    // Redo brings the ten steps back, and they can be undone again.
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(child.mwCustomEdit1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(child.text(), QByteArray("lkjihgfedcba"));
    QTest::keyClick(child.mwCustomEdit1, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(child.text(), QByteArray("kjihgfedcba"));
}

TEST(TMDIChild, BookmarksSelectionModesAndBrackets)
{
    TMDIChild child;
    child.loadText("a\r\nbb (c)\r\nd\r\n");
    QsciScintilla *edit = child.mwCustomEdit1;
    edit->setCursorPosition(1, 2);
    QTest::keyClick(edit, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(child.bookmarkLine(3), 1);
    edit->setCursorPosition(2, 0);
    // A shifted symbol made by another key is no digit.
    QTest::keyClick(edit, Qt::Key_Percent, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(child.bookmarkLine(5), -1);
    QTest::keyClick(edit, Qt::Key_3, Qt::ControlModifier);
    int line = -1;
    int index = -1;
    edit->getCursorPosition(&line, &index);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(child.caretPanelText(), QStringLiteral("2:3"));
    // Setting it again moves it.
    edit->setCursorPosition(0, 0);
    QTest::keyClick(edit, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(child.bookmarkLine(3), 0);
    EXPECT_EQ(child.bookmarkLine(7), -1);

    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(edit->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONMODE),
              static_cast<long>(QsciScintillaBase::SC_SEL_RECTANGLE));
    QTest::keyClick(edit, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(edit->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONMODE),
              static_cast<long>(QsciScintillaBase::SC_SEL_LINES));
    QTest::keyClick(edit, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(edit->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONMODE),
              static_cast<long>(QsciScintillaBase::SC_SEL_STREAM));

    edit->setCursorPosition(1, 3);
    QTest::keyClick(edit, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    edit->getCursorPosition(&line, &index);
    EXPECT_EQ(index, 5);
    QTest::keyClick(edit, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    edit->getCursorPosition(&line, &index);
    EXPECT_EQ(index, 3);
}

#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
TEST(TMDIChild, BookmarkKeysFollowTheDigitRowOnEveryLayout)
{
    // What X11 and Wayland report for the digit-row keys (key codes 10 to 19 are 1 to 9, 0).
    struct Press
    {
        const char *name;
        int key;
        QString text;
        quint32 keyCode;
        Qt::KeyboardModifiers modifiers;
    };
    const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const Press sets[] = {
        {"US Ctrl+Shift+5", Qt::Key_Percent, QStringLiteral("%"), 14, ctrlShift},
        {"German Ctrl+Shift+2", Qt::Key_QuoteDbl, QStringLiteral("\""), 11, ctrlShift},
        {"German Ctrl+Shift+0", Qt::Key_Equal, QStringLiteral("="), 19, ctrlShift},
        {"French Ctrl+Shift+7", Qt::Key_7, QStringLiteral("7"), 16, ctrlShift},
    };
    const auto press = [](QsciScintilla *edit, const Press &p) {
        QKeyEvent event(QEvent::KeyPress, p.key, p.modifiers, p.keyCode, 0, 0, p.text);
        QApplication::sendEvent(edit, &event);
    };
    TMDIChild child;
    child.loadText("0\r\n1\r\n2\r\n3\r\n4\r\n");
    QsciScintilla *edit = child.mwCustomEdit1;
    int line = 0;
    for (const Press &p : sets) {
        edit->setCursorPosition(line, 0);
        press(edit, p);
        const int digit = (static_cast<int>(p.keyCode) - 9) % 10;
        EXPECT_EQ(child.bookmarkLine(digit), line) << p.name;
        EXPECT_EQ(child.text(), QByteArray("0\r\n1\r\n2\r\n3\r\n4\r\n")) << p.name;
        ++line;
    }
    // French Ctrl+2 (the key that types "é"): go to bookmark 2.
    edit->setCursorPosition(4, 0);
    press(edit, {"French Ctrl+2", Qt::Key_Eacute, QStringLiteral("\u00e9"), 11, Qt::ControlModifier});
    int index = 0;
    edit->getCursorPosition(&line, &index);
    EXPECT_EQ(line, 1);
}
#endif

TEST(TMDIChild, ScrollHintWhileTheScrollBoxIsDragged)
{
    TMDIChild child;
    child.resize(400, 300);
    child.show();
    QByteArray text;
    for (int i = 1; i <= 300; ++i)
        text += "line " + QByteArray::number(i) + "\r\n";
    child.loadText(text);
    QApplication::processEvents();
    QScrollBar *bar = child.mwCustomEdit1->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 100);
    EXPECT_EQ(child.scrollHintText(), QString());
    bar->setSliderDown(true);
    bar->setSliderPosition(40);
    EXPECT_EQ(child.scrollHintText(), QStringLiteral("Line 41"));
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Line 41"));
    bar->setSliderDown(false);
    EXPECT_EQ(child.scrollHintText(), QString());
    // Scrolling without the scroll box shows no hint.
    bar->setValue(80);
    EXPECT_EQ(child.scrollHintText(), QString());
}

TEST(TMDIChild, CaretMayGoPastTheLineEnd)
{
    TMDIChild child;
    child.resize(400, 300);
    child.show(); // caret moves by screen position, so the control needs a layout
    child.loadText("ab\r\nabcdef");
    child.mwCustomEdit1->setCursorPosition(1, 0);
    QTest::keyClick(child.mwCustomEdit1, Qt::Key_End);
    QTest::keyClick(child.mwCustomEdit1, Qt::Key_Up);
    EXPECT_EQ(child.caretPanelText(), QStringLiteral("1:7"));
}

TEST(TMDIChild, KeepsBytesThatAreNotUtf8)
{
    TMDIChild child;
    const QByteArray bytes("caf\xe9 \xc3\x28 \x00 end", 13);
    child.loadText(bytes);
    EXPECT_EQ(child.text(), bytes);
    // Styling stores line states; that is no edit.
    child.mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    EXPECT_FALSE(child.Modified());
    EXPECT_EQ(child.modifiedPanelText(), QString());
}
