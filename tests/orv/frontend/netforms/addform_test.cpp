// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/netforms/addform.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using orv::frontend::TAddForm;

namespace {

TEST(AddForm, PortsTakeFourDigitsAndTheInfoPortFollows)
{
    TAddForm form;
    EXPECT_EQ(form.Address()->text(), QStringLiteral("0.0.0.0"));
    EXPECT_EQ(form.Port1()->text(), QStringLiteral("7777"));
    EXPECT_EQ(form.Port2()->text(), QStringLiteral("7778"));

    struct Case
    {
        const char *typed;
        QString port1;
        QString port2;
    };
    const Case cases[] = {
        {"7000", QStringLiteral("7000"), QStringLiteral("7001")},
        {"27015", QStringLiteral("2701"), QStringLiteral("2702")},
        // Partly typed: no number, the info port stays.
        {"12", QStringLiteral("12"), QStringLiteral("2702")},
        // 10000 would not fit the info port's four digits.
        {"9999", QStringLiteral("9999"), QStringLiteral("2702")},
        {"0042", QStringLiteral("0042"), QStringLiteral("43")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        form.Port1()->selectAll();
        form.Port1()->del();
        form.Port1()->setCursorPosition(0);
        QTest::keyClicks(form.Port1(), QString::fromLatin1(c.typed));
        form.Port1Exit();
        EXPECT_EQ(form.Port1()->text(), c.port1);
        EXPECT_EQ(form.Port2()->text(), c.port2);
    }
}

TEST(AddForm, AddAcceptsAndEscCancels)
{
    TAddForm form;
    form.show();
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(form.result(), QDialog::Rejected);

    form.show();
    QTest::keyClick(&form, Qt::Key_Return);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
}

} // namespace
