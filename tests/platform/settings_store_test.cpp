#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "platform/settings_store.h"
#include "platform/single_instance.h"

using namespace tarvenko;

class SettingsStoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_machine = std::make_unique<QTemporaryDir>();
        m_user = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, m_machine->path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_user->path());
    }

    void machineValuesComeFromTheSystemFile()
    {
        writeMachine({{QStringLiteral("Logiciel/Data"), QStringLiteral("/opt/kb/")}});
        const SettingsStore store({{QStringLiteral("Logiciel/Data"), QStringLiteral("/fallback/")}});
        QVERIFY(store.installe());
        QCOMPARE(store.valeurMachine(QStringLiteral("Logiciel"), QStringLiteral("Data")), QStringLiteral("/opt/kb/"));
        QVERIFY(store.cleMachineExiste(QStringLiteral("Logiciel")));
        QVERIFY(!store.cleMachineExiste(QStringLiteral("Options")));
        QCOMPARE(store.valeurMachine(QStringLiteral("Logiciel"), QStringLiteral("Base")), std::nullopt);
    }

    void fallbackStandsInWhenNothingIsInstalled()
    {
        const SettingsStore store({{QStringLiteral("Logiciel/Data"), QStringLiteral("/fallback/")}});
        QVERIFY(!store.installe());
        QCOMPARE(store.valeurMachine(QStringLiteral("Logiciel"), QStringLiteral("Data")), QStringLiteral("/fallback/"));
        QVERIFY(store.cleMachineExiste(QStringLiteral("Logiciel")));
        QVERIFY(!store.cleMachineExiste(QStringLiteral("Options")));
    }

    void aPartialMachineFileLeavesEachOtherValueToTheFallback()
    {
        // An administrator's file that only sets the language.
        writeMachine({{QStringLiteral("Options/Langue"), QStringLiteral("2")}});
        const SettingsStore store({{QStringLiteral("Logiciel/Data"), QStringLiteral("/sample/data/")},
                                   {QStringLiteral("Logiciel/Base"), QStringLiteral("Tarvenko.db")},
                                   {QStringLiteral("Options/Langue"), QStringLiteral("0")},
                                   {QStringLiteral("Options/Curseur"), QStringLiteral("True")}});
        QCOMPARE(store.valeurMachine(QStringLiteral("Options"), QStringLiteral("Langue")), QStringLiteral("2"));
        QCOMPARE(store.valeurMachine(QStringLiteral("Options"), QStringLiteral("Curseur")), QStringLiteral("True"));
        QCOMPARE(store.valeurMachine(QStringLiteral("Logiciel"), QStringLiteral("Data")), QStringLiteral("/sample/data/"));
        QCOMPARE(store.valeurMachine(QStringLiteral("Logiciel"), QStringLiteral("Base")), QStringLiteral("Tarvenko.db"));
        QCOMPARE(store.valeurMachine(QStringLiteral("Logiciel"), QStringLiteral("Robot")), std::nullopt);
        QVERIFY(store.cleMachineExiste(QStringLiteral("Logiciel")));
        QVERIFY(!store.cleMachineExiste(QStringLiteral("Documents")));
    }

    void userValuesAreWrittenAndReadWithDefaults()
    {
        writeMachine({{QStringLiteral("Options/Valeur"), QStringLiteral("55")}});
        SettingsStore store;
        // A machine value never shows through as a user value.
        QCOMPARE(store.valeurUtilisateur(QStringLiteral("Options"), QStringLiteral("Valeur"), QStringLiteral("-1")),
                 QStringLiteral("-1"));
        store.ecritValeurUtilisateur(QStringLiteral("Options"), QStringLiteral("Valeur"), QStringLiteral("80"));
        QCOMPARE(SettingsStore().valeurUtilisateur(QStringLiteral("Options"), QStringLiteral("Valeur"), QStringLiteral("-1")),
                 QStringLiteral("80"));
    }

    void secondInstanceIsSeenWhileTheFirstRuns()
    {
        const QString lock = m_user->filePath(QStringLiteral("tarvenko.lock"));
        SingleInstance first(lock);
        QVERIFY(!first.autreInstance());
        QVERIFY(!first.autreInstance()); // asking again does not see itself
        SingleInstance second(lock);
        QVERIFY(second.autreInstance());
    }

    void everyRunningInstanceMakesANewStartWarn()
    {
        const QString lock = m_user->filePath(QStringLiteral("tarvenko.lock"));
        // A runs; B is warned and goes on; A quits while B runs: C must still be warned.
        auto a = std::make_unique<SingleInstance>(lock);
        QVERIFY(!a->autreInstance());
        auto b = std::make_unique<SingleInstance>(lock);
        QVERIFY(b->autreInstance());
        a.reset();
        SingleInstance c(lock);
        QVERIFY(c.autreInstance());
        QVERIFY(b->autreInstance()); // B now sees C
        // Once B and C are gone, a start is alone again.
        b.reset();
        {
            SingleInstance d(lock);
            QVERIFY(d.autreInstance()); // C still runs
        }
        QVERIFY(!c.autreInstance());
    }

private:
    void writeMachine(const QMap<QString, QString> &values)
    {
        QSettings machine(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("Tarvenko"), QStringLiteral("Tarvenko"));
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            machine.setValue(it.key(), it.value());
        machine.sync();
    }

    std::unique_ptr<QTemporaryDir> m_machine;
    std::unique_ptr<QTemporaryDir> m_user;
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "settings_store_test.moc"
