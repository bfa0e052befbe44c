// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/netforms/serversform.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "orv/frontend/formstorage/formstorage.h"
#include "orv/net/defaultmasterurls.h"
#include "platform/registrystore.h"

using orv::frontend::TServersForm;
using orv::net::MasterUrl;

namespace {

const QString kUrlsKey = QStringLiteral("SOFTWARE\\Orvane\\Servers list\\.UServersList_Items");
const QString kChecksKey = QStringLiteral("SOFTWARE\\Orvane\\Servers list\\TServersFormUServersList");

class ServersFormTest : public ::testing::Test
{
protected:
    QString stored(const QString &key, const char *name) const
    {
        const auto text = m_store.readString(key, QString::fromLatin1(name));
        return text && *text ? **text : QStringLiteral("<missing>");
    }
    void select(QListWidget *list, int row)
    {
        list->setCurrentRow(row);
        list->item(row)->setSelected(true);
    }

    QTemporaryDir m_dir;
    platform::RegistryStore m_store{platform::RegistryRoot::CurrentUser, m_dir.filePath(QStringLiteral("hkcu.reg"))};
};

TEST_F(ServersFormTest, StartsWithTheShippedMasters)
{
    TServersForm form(m_store);
    const orv::net::DefaultMasters shipped = orv::net::loadDefaultMasters();
    ASSERT_EQ(shipped.unreal.size(), 3);
    EXPECT_EQ(form.unrealUrls(), shipped.unreal);
    EXPECT_EQ(form.utUrls(), shipped.ut);
    EXPECT_EQ(form.pageIndex(), 0);
}

TEST_F(ServersFormTest, AddRefusesWhatIsNoMasterSource)
{
    TServersForm form(m_store);
    for (const char *text : {"master.example:28900", "ftp://lists.example/ut.txt", "gamespy://master.example/x"}) {
        form.AddText()->setText(QString::fromLatin1(text));
        QString shown;
        QTimer::singleShot(0, &form, [&shown] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->close();
            }
        });
        form.addbuttonClick();
        EXPECT_TRUE(shown.contains(QStringLiteral("gamespy://HOST[:PORT]"))) << text;
        EXPECT_EQ(form.unrealUrls().size(), 3) << text;
    }
    form.AddText()->setText(QStringLiteral(" gamespy://127.0.0.1 "));
    form.addbuttonClick();
    EXPECT_EQ(form.unrealUrls().last(), (MasterUrl{QStringLiteral("gamespy://127.0.0.1"), false}));
}

TEST_F(ServersFormTest, AddAppendsUncheckedToTheShownPageAndSaves)
{
    TServersForm form(m_store);
    form.AddText()->setText(QStringLiteral("http://127.0.0.1/ut.txt"));
    form.Color95Button2Click();
    form.addbuttonClick();
    ASSERT_EQ(form.utUrls().size(), 4);
    EXPECT_EQ(form.utUrls().last(), (MasterUrl{QStringLiteral("http://127.0.0.1/ut.txt"), false}));
    EXPECT_EQ(form.unrealUrls().size(), 3);

    // Enter in the edit adds too, the same text again (there is no duplicate check).
    form.Color95Button1Click();
    QTest::keyClick(form.AddText(), Qt::Key_Return);
    ASSERT_EQ(form.unrealUrls().size(), 4);
    EXPECT_EQ(stored(kUrlsKey, "Count"), QStringLiteral("4"));
    EXPECT_EQ(stored(kUrlsKey, "Item3"), QStringLiteral("http://127.0.0.1/ut.txt"));

    form.AddText()->clear();
    form.addbuttonClick();
    EXPECT_EQ(form.unrealUrls().size(), 4);

    // A new editor restores the lines.
    TServersForm again(m_store);
    EXPECT_EQ(again.unrealUrls().size(), 4);
    EXPECT_EQ(again.utUrls().size(), 4);
    EXPECT_EQ(again.utUrls().last().url, QStringLiteral("http://127.0.0.1/ut.txt"));
}

TEST_F(ServersFormTest, DeleteNeverRemovesTheFirstUrl)
{
    TServersForm form(m_store);
    QListWidget *list = form.UServersList();
    form.AddText()->setText(QStringLiteral("http://127.0.0.1/extra.txt"));
    form.addbuttonClick();
    ASSERT_EQ(list->count(), 4);

    list->clearSelection();
    list->setCurrentRow(-1);
    form.SpeedButton2Click();
    EXPECT_EQ(list->count(), 4);

    select(list, 0);
    form.SpeedButton2Click();
    EXPECT_EQ(list->count(), 4);

    select(list, 1);
    form.SpeedButton2Click();
    form.SpeedButton2Click();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("http://127.0.0.1/extra.txt"));
    EXPECT_EQ(stored(kUrlsKey, "Count"), QStringLiteral("2"));
}

TEST_F(ServersFormTest, CheckMarksTravelWithTheServersListStorage)
{
    {
        TServersForm form(m_store);
        ASSERT_TRUE(form.formStorage()->LoadSettings());
        form.UServersList()->item(0)->setCheckState(Qt::Unchecked);
        form.UServersList()->item(1)->setCheckState(Qt::Checked);
        form.UServersList()->item(2)->setCheckState(Qt::Unchecked);
        form.Color95Button2Click();
        ASSERT_TRUE(form.formStorage()->SaveSettings());
    }
    EXPECT_EQ(stored(kChecksKey, "Count"), QStringLiteral("3"));
    EXPECT_EQ(stored(kChecksKey, "Item0"), QStringLiteral("0"));
    EXPECT_EQ(stored(kChecksKey, "Item1"), QStringLiteral("1"));
    EXPECT_EQ(stored(kChecksKey, "Item2"), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("SOFTWARE\\Orvane\\Servers list"), "Notebook1_PageIndex"), QStringLiteral("1"));

    TServersForm form(m_store);
    ASSERT_TRUE(form.formStorage()->LoadSettings());
    EXPECT_FALSE(form.unrealUrls().at(0).checked);
    EXPECT_TRUE(form.unrealUrls().at(1).checked);
    EXPECT_EQ(form.pageIndex(), 1);
}

TEST_F(ServersFormTest, EscInTheEditClosesWithOk)
{
    TServersForm form(m_store);
    form.show();
    QTest::keyClick(form.AddText(), Qt::Key_Escape);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
}

} // namespace
