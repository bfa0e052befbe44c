// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/netforms/optionsform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/netforms/radiogroup.h"
#include "platform/registrystore.h"
#include "tests/support/testpaths.h"

using orv::frontend::TOptionsForm;
using orv::frontend::TRadioGroup;

namespace {

const QString kSection = QStringLiteral("SOFTWARE\\Orvane\\Main options");

class OptionsFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_form.setErrorShower([this](const QString &message) { m_errors.append(message); });
    }

    template <typename T> T *child(const char *name)
    {
        T *w = m_form.findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void clickItem(const char *group, int index)
    {
        QTest::mouseClick(child<TRadioGroup>(group)->button(index), Qt::LeftButton);
    }
    void click(const char *checkBox) { QTest::mouseClick(child<QCheckBox>(checkBox), Qt::LeftButton); }

    QTemporaryDir m_dir;
    platform::RegistryStore m_store{platform::RegistryRoot::CurrentUser, m_dir.filePath(QStringLiteral("hkcu.reg"))};
    TOptionsForm m_form{m_store};
    QStringList m_errors;
};

TEST_F(OptionsFormTest, DefaultsAreThoseTheEngineExpects)
{
    const orv::engine::EngineOptions defaults;
    const orv::engine::EngineOptions read = m_form.engineOptions();
    EXPECT_EQ(read.internetServTimeOut, defaults.internetServTimeOut);
    EXPECT_EQ(read.serverTry, defaults.serverTry);
    EXPECT_EQ(read.queriesAtOnce, 32);
    EXPECT_EQ(read.allowNotfull, defaults.allowNotfull);
    EXPECT_EQ(read.usePing, defaults.usePing);
    EXPECT_EQ(read.alwaysRefresh, defaults.alwaysRefresh);
    EXPECT_EQ(read.contRefr, defaults.contRefr);
    EXPECT_EQ(read.localServTimeOut, defaults.localServTimeOut);
    EXPECT_EQ(read.beaconSign1, defaults.beaconSign1);
    EXPECT_EQ(read.beaconSign2, defaults.beaconSign2);
    EXPECT_EQ(read.beaconPort, defaults.beaconPort);
    EXPECT_EQ(read.serverBeaconPort, defaults.serverBeaconPort);
    EXPECT_EQ(read.beaconPort2, defaults.beaconPort2);
    EXPECT_EQ(read.serverBeaconPort2, defaults.serverBeaconPort2);
    EXPECT_EQ(m_form.reloadList(), orv::net::ListLoad::AlwaysReload);
    EXPECT_EQ(m_form.merge(), orv::net::ListMerge::AskWhatToUse);
    EXPECT_FALSE(m_form.proxySettings().enabled);
    EXPECT_FALSE(child<QLineEdit>("ProxyHost")->isEnabled());
    EXPECT_FALSE(child<QComboBox>("ServerTry")->isEnabled());
    EXPECT_EQ(m_form.autoOpen(), 0);
    EXPECT_EQ(m_form.whenStart(), 0);
    EXPECT_TRUE(m_form.minimizeToTray());
    EXPECT_TRUE(m_form.useSounds());
    EXPECT_TRUE(m_form.smallImages());
}

TEST_F(OptionsFormTest, ListLoadAndMergeChoicesPullEachOther)
{
    clickItem("Reloadlist", 1);
    EXPECT_EQ(m_form.reloadList(), orv::net::ListLoad::SavedFile);
    EXPECT_EQ(m_form.merge(), orv::net::ListMerge::MergeLists);

    clickItem("Merge", 1);
    EXPECT_EQ(m_form.merge(), orv::net::ListMerge::AskWhatToUse);
    EXPECT_EQ(m_form.reloadList(), orv::net::ListLoad::AlwaysReload);

    // Choosing the other items leaves the partner alone.
    clickItem("Merge", 0);
    clickItem("Reloadlist", 0);
    EXPECT_EQ(m_form.merge(), orv::net::ListMerge::MergeLists);
    EXPECT_EQ(m_form.reloadList(), orv::net::ListLoad::AlwaysReload);
}

TEST_F(OptionsFormTest, EnablingRulesFollowTheirCheckBoxes)
{
    auto *serverTry = child<QComboBox>("ServerTry");
    click("AllowNotfull");
    EXPECT_TRUE(serverTry->isEnabled());
    click("AllowNotfull");
    EXPECT_FALSE(serverTry->isEnabled());
    // "Continue refresh" runs the same rule.
    serverTry->setEnabled(true);
    click("ContRefr");
    EXPECT_FALSE(serverTry->isEnabled());

    auto *host = child<QLineEdit>("ProxyHost");
    auto *port = child<QLineEdit>("ProxyPort");
    click("ProxyEnabling");
    EXPECT_TRUE(host->isEnabled());
    EXPECT_TRUE(port->isEnabled());
    click("ProxyEnabling");
    EXPECT_FALSE(host->isEnabled());
    EXPECT_FALSE(port->isEnabled());
    host->setEnabled(true);
    click("UsePing");
    EXPECT_FALSE(host->isEnabled());

    QSignalSpy sounds(&m_form, &TOptionsForm::soundsSwitched);
    click("UseSounds");
    EXPECT_FALSE(child<QToolButton>("SndSelect")->isEnabled());
    ASSERT_EQ(sounds.size(), 1);
    EXPECT_FALSE(sounds.first().first().toBool());
}

TEST_F(OptionsFormTest, ProxyButtonFillsHostAndPortOrReportsItCannot)
{
    std::optional<QString> setting = QStringLiteral("192.168.0.1:3128");
    m_form.setProxyReader([&setting] { return setting; });
    click("ProxyEnabling");
    m_form.ProxyHostButtonClick();
    EXPECT_EQ(m_form.proxySettings().host, QStringLiteral("192.168.0.1"));
    EXPECT_EQ(m_form.proxySettings().port, QStringLiteral("3128"));
    EXPECT_TRUE(m_errors.isEmpty());

    // Once a setting was read, a later failure keeps proxy use on.
    setting.reset();
    m_form.ProxyHostButtonClick();
    EXPECT_EQ(m_errors, QStringList{QStringLiteral("I`m can not get proxy config from your registry!")});
    EXPECT_TRUE(m_form.proxySettings().enabled);
}

TEST_F(OptionsFormTest, ProxyButtonWithoutAnySettingUnchecksProxyUse)
{
    m_form.setProxyReader([] { return std::optional<QString>(); });
    click("ProxyEnabling");
    m_form.ProxyHostButtonClick();
    EXPECT_EQ(m_errors.size(), 1);
    EXPECT_FALSE(m_form.proxySettings().enabled);
    EXPECT_FALSE(child<QLineEdit>("ProxyHost")->isEnabled());
}

TEST_F(OptionsFormTest, SettingsGoToMainOptionsAndComeBack)
{
    ASSERT_TRUE(m_form.formStorage()->LoadSettings());
    clickItem("Reloadlist", 1);
    clickItem("AutoOpen", 2);
    clickItem("WhenStart", 1);
    click("ProxyEnabling");
    child<QLineEdit>("ProxyHost")->setText(QStringLiteral(" proxy.lan "));
    child<QLineEdit>("ProxyPort")->setText(QStringLiteral("3128"));
    child<QComboBox>("InternetServTimeOut")->setCurrentText(QStringLiteral("2000"));
    child<QComboBox>("QueriesAtOnce")->setCurrentText(QStringLiteral("1"));
    child<QLineEdit>("BeaconSign2")->setText(QStringLiteral("utdemo"));
    click("UseSounds");
    ASSERT_TRUE(m_form.formStorage()->SaveSettings());

    const auto value = [this](const char *name) {
        const auto text = m_store.readString(kSection, QString::fromLatin1(name));
        return text && *text ? **text : QStringLiteral("<missing>");
    };
    EXPECT_EQ(value("Reloadlist_ItemIndex"), QStringLiteral("1"));
    EXPECT_EQ(value("Merge_ItemIndex"), QStringLiteral("0"));
    EXPECT_EQ(value("AutoOpen_ItemIndex"), QStringLiteral("2"));
    EXPECT_EQ(value("ProxyEnabling_Checked"), QStringLiteral("True"));
    EXPECT_EQ(value("ProxyHost_Enabled"), QStringLiteral("True"));
    EXPECT_EQ(value("ProxyHost_Text"), QStringLiteral("proxy.lan"));
    EXPECT_EQ(value("InternetServTimeOut_Text"), QStringLiteral("2000"));
    EXPECT_EQ(value("QueriesAtOnce_Text"), QStringLiteral("1"));
    EXPECT_EQ(value("UseSounds_Checked"), QStringLiteral("False"));
    EXPECT_EQ(value("SndSelect_Enabled"), QStringLiteral("False"));
    EXPECT_EQ(value("ServerTry_Enabled"), QStringLiteral("False"));

    TOptionsForm again(m_store);
    QSignalSpy sounds(&again, &TOptionsForm::soundsSwitched);
    ASSERT_TRUE(again.formStorage()->LoadSettings());
    EXPECT_EQ(again.reloadList(), orv::net::ListLoad::SavedFile);
    EXPECT_EQ(again.merge(), orv::net::ListMerge::MergeLists);
    EXPECT_EQ(again.autoOpen(), 2);
    EXPECT_EQ(again.whenStart(), 1);
    EXPECT_EQ(again.proxySettings().host, QStringLiteral("proxy.lan"));
    EXPECT_TRUE(again.proxySettings().enabled);
    EXPECT_EQ(again.engineOptions().internetServTimeOut, 2000);
    EXPECT_EQ(again.engineOptions().queriesAtOnce, 1); // a stored profile keeps its value
    EXPECT_EQ(again.engineOptions().beaconSign2, QStringLiteral("utdemo"));
    EXPECT_FALSE(again.useSounds());
    // The sound switch follows the loaded choice.
    ASSERT_GE(sounds.size(), 1);
    EXPECT_FALSE(sounds.last().first().toBool());
}

TEST_F(OptionsFormTest, ExportWritesTheWholeTreeAndEscClosesWithOk)
{
    ASSERT_TRUE(m_form.formStorage()->LoadSettings());
    ASSERT_TRUE(m_form.formStorage()->SaveSettings());
    const QString file = m_dir.filePath(QStringLiteral("settings.reg"));
    m_form.setExportFileChooser([&file] { return file; });
    m_form.Color95Button4Click();
    const QByteArray text = testsupport::readFile(file);
    EXPECT_TRUE(text.startsWith("REGEDIT4")) << text.left(40).toStdString();
    EXPECT_TRUE(text.contains("[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Main options]"));
    EXPECT_TRUE(text.contains("\"BeaconSign1_Text\"=\"Unreal\""));

    m_form.show();
    QTest::keyClick(&m_form, Qt::Key_Escape);
    EXPECT_EQ(m_form.result(), QDialog::Accepted);
    EXPECT_FALSE(m_form.isVisible());
}

TEST_F(OptionsFormTest, FontButtonsHandOutChosenAndDefaultFonts)
{
    QFont chosen(QStringLiteral("Serif"));
    chosen.setPointSize(14);
    QFont offered;
    m_form.setFontChooser([&](const QFont &initial) {
        offered = initial;
        return std::optional<QFont>(chosen);
    });
    QSignalSpy servers(&m_form, &TOptionsForm::serversListFontChanged);
    QSignalSpy players(&m_form, &TOptionsForm::playersListFontChanged);
    m_form.Color95Button1Click();
    EXPECT_EQ(offered, TOptionsForm::defaultListFont());
    m_form.Color95Button1Click();
    EXPECT_EQ(offered, chosen);
    m_form.SpeedButton2Click();
    ASSERT_EQ(servers.size(), 2);
    EXPECT_EQ(servers.last().first().value<QFont>(), chosen);
    ASSERT_EQ(players.size(), 1);
    EXPECT_EQ(players.first().first().value<QFont>().pixelSize(), 11);
    EXPECT_EQ(players.first().first().value<QFont>().family(), QStringLiteral("MS Sans Serif"));
}

} // namespace

// The engine's numbers are parsed where they are typed: a number in its range is taken at
// once and announced as one value; on leaving the box any other text is refused with a
// message naming the field, and the box shows the value in use again. A stored text that is
// no number leaves the value as it was, without a message.
TEST_F(OptionsFormTest, NumberBoxesTakeNumbersInRangeAndRefuseOtherText)
{
    orv::engine::EngineOptions announced;
    int announcements = 0;
    QObject::connect(&m_form, &TOptionsForm::engineOptionsChanged, &m_form, [&](const orv::engine::EngineOptions &o) {
        announced = o;
        ++announcements;
    });
    const auto type = [](QLineEdit *edit, const char *text) {
        edit->clear();
        QTest::keyClicks(edit, QString::fromLatin1(text));
        QTest::keyClick(edit, Qt::Key_Return);
    };
    QLineEdit *timeOut = child<QComboBox>("InternetServTimeOut")->lineEdit();
    type(timeOut, "900");
    EXPECT_EQ(m_form.engineOptions().internetServTimeOut, 900);
    EXPECT_EQ(announced.internetServTimeOut, 900);
    EXPECT_TRUE(m_errors.isEmpty());

    const struct
    {
        QLineEdit *edit;
        const char *text;
        const char *field;
        const char *kept;
    } refused[] = {
        {timeOut, "soon", "Time out game server", "900"},
        {child<QComboBox>("QueriesAtOnce")->lineEdit(), "0", "Queries at once", "32"},
        {child<QComboBox>("QueriesAtOnce")->lineEdit(), "300", "Queries at once", "32"},
        {child<QLineEdit>("BeaconPort"), "70000", "Unreal beacon port", "7776"},
        {child<QComboBox>("LocalServTimeOut")->lineEdit(), "", "Beacon wait time", "400"},
    };
    for (const auto &c : refused) {
        m_errors.clear();
        type(c.edit, c.text);
        ASSERT_EQ(m_errors.size(), 1) << c.field;
        EXPECT_TRUE(m_errors.first().startsWith(QString::fromLatin1(c.field) + QLatin1Char(':')))
            << m_errors.first().toStdString();
        EXPECT_EQ(c.edit->text(), QString::fromLatin1(c.kept)) << c.field;
    }
    EXPECT_EQ(m_form.engineOptions(), announced);
    EXPECT_EQ(announced.internetServTimeOut, 900);
    EXPECT_EQ(announced.queriesAtOnce, 32);
    EXPECT_EQ(announced.beaconPort, 7776);
    EXPECT_EQ(announced.localServTimeOut, 400);

    // A check box is announced as it changes.
    const int before = announcements;
    click("UsePing");
    EXPECT_EQ(announcements, before + 1);
    EXPECT_FALSE(announced.usePing);

    m_errors.clear();
    ASSERT_TRUE(m_store.setString(kSection, QStringLiteral("InternetServTimeOut_Text"), QStringLiteral("soon")));
    ASSERT_TRUE(m_store.setString(kSection, QStringLiteral("QueriesAtOnce_Text"), QStringLiteral("64")));
    TOptionsForm loaded(m_store);
    ASSERT_TRUE(loaded.formStorage()->LoadSettings());
    EXPECT_EQ(loaded.engineOptions().internetServTimeOut, 600);
    EXPECT_EQ(loaded.findChild<QComboBox *>(QStringLiteral("InternetServTimeOut"))->currentText(),
              QStringLiteral("600"));
    EXPECT_EQ(loaded.engineOptions().queriesAtOnce, 64);
    EXPECT_TRUE(m_errors.isEmpty());
}
