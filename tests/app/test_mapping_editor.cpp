// Pairing CSV columns with vCard properties through the real window.
#include "AppTestSupport.h"
#include "RunState.h"

#include <QFileInfo>

class MappingEditor : public QObject {
    Q_OBJECT

private slots:
    void init() { fixture.start(); }
    void cleanup() {
        const QStringList unanswered = fixture.finish();
        QVERIFY2(unanswered.isEmpty(), qPrintable(unanswered.join("; ")));
    }

    void addNeedsASelectionInEachList() {
        loadCsv(*c, env->dialogs, env->writeCsv("a.csv", "Name,Phone\r\nAnn,1\r\n"));
        csv()->setCurrentIndex(0);
        env->dialogs.answers.push_back("Ok");
        click(c.get(), "addMappingOutlet");
        QCOMPARE(env->dialogs.alerts.back().title, QStringLiteral("Stop"));
        QCOMPARE(env->dialogs.alerts.back().text,
                 QStringLiteral("Please select columns to be mapped."));
        QVERIFY(userMappingDictionary.empty());
        QCOMPARE(csv()->count(), 2);
        QVERIFY(!button("btnImportOutlet")->isEnabled());
    }

    void addPairsTheSelectedNamesAndOffersTheNextOnes() {
        loadCsv(*c, env->dialogs, env->writeCsv("a.csv", "Name,Phone,Mail\r\nAnn,1,a@x\r\n"));
        csv()->setCurrentIndex(1); // Phone
        vcard()->setCurrentIndex(vcard()->findText("MobileNumber"));
        click(c.get(), "addMappingOutlet");
        QCOMPARE(userMappingDictionary,
                 (std::map<std::string, std::string>{{"MobileNumber", "Phone"}}));
        QCOMPARE(tableRows(table()), QStringList({"Phone -> MobileNumber"}));
        QCOMPARE(comboItems(csv()), QStringList({"Name", "Mail"}));
        QVERIFY(!comboItems(vcard()).contains("MobileNumber"));
        for (const char* name :
             {"btnStartStep2Outlet", "btnImportOutlet", "btnRemoveMappingOutlet"}) {
            QVERIFY2(button(name)->isEnabled(), name);
        }
        // The first remaining names are chosen: one more press pairs them.
        QCOMPARE(csv()->currentText(), QStringLiteral("Name"));
        QCOMPARE(vcard()->currentText(), QStringLiteral("FirstName"));
        click(c.get(), "addMappingOutlet");
        QCOMPARE(tableRows(table()), QStringList({"Phone -> MobileNumber", "Name -> FirstName"}));
        auto* model = table()->model();
        QCOMPARE(model->headerData(0, Qt::Horizontal, Qt::UserRole).toString(),
                 QStringLiteral("CSVColumn"));
        QCOMPARE(model->headerData(1, Qt::Horizontal, Qt::UserRole).toString(),
                 QStringLiteral("vCardColumn"));

        click(c.get(), "addMappingOutlet"); // Mail with LastName
        QCOMPARE(csv()->count(), 0);
        env->dialogs.answers.push_back("Ok");
        vcard()->setCurrentIndex(0);
        click(c.get(), "addMappingOutlet");
        QCOMPARE(env->dialogs.alerts.back().text,
                 QStringLiteral("No columns are remaining for mapping."));
    }

    void mapAllPairsByPosition_data() {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("pairs");
        QTest::addColumn<int>("csvLeft");
        QTest::addColumn<int>("vCardLeft");
        QTest::newRow("5 columns") << 5 << 5 << 0 << 25;
        QTest::newRow("40 columns") << 40 << 30 << 10 << 0;
    }
    void mapAllPairsByPosition() {
        QFETCH(int, columns);
        QFETCH(int, pairs);
        QFETCH(int, csvLeft);
        QFETCH(int, vCardLeft);
        loadCsv(*c, env->dialogs, env->writeContacts("w.csv", 2, columns));
        checkBox()->click();
        QCOMPARE(static_cast<int>(userMappingDictionary.size()), pairs);
        QCOMPARE(userMappingDictionary.at("FirstName"), std::string("Col0"));
        QCOMPARE(userMappingDictionary.at("FullName"), std::string("Col4"));
        QCOMPARE(tableRows(table()).size(), pairs);
        QCOMPARE(csv()->count(), csvLeft);
        QCOMPARE(vcard()->count(), vCardLeft);
        if (csvLeft > 0) {
            QCOMPARE(csv()->itemText(0), QStringLiteral("Col30"));
        }
        QVERIFY(button("btnImportOutlet")->isEnabled());
    }

    void mapAllKeepsHandMadePairsAndNeedsNamesInBothLists() {
        loadCsv(*c, env->dialogs, env->writeContacts("w.csv", 2, 3));
        csv()->setCurrentIndex(2);
        vcard()->setCurrentIndex(vcard()->findText("EmailAddressWork"));
        click(c.get(), "addMappingOutlet");
        checkBox()->click();
        QCOMPARE(tableRows(table()), QStringList({"Col2 -> EmailAddressWork", "Col0 -> FirstName",
                                                  "Col1 -> LastName"}));

        // With one list empty, ticking the box makes no pair.
        c = std::make_unique<AppController>();
        c->show();
        loadCsv(*c, env->dialogs, env->writeContacts("x.csv", 2, 1));
        csv()->setCurrentIndex(0);
        vcard()->setCurrentIndex(0);
        click(c.get(), "addMappingOutlet");
        button("btnImportOutlet")->setEnabled(false);
        checkBox()->click();
        QCOMPARE(tableRows(table()).size(), 1);
        QVERIFY(!button("btnImportOutlet")->isEnabled());
    }

    void clearingMapAllAsksFirst() {
        loadCsv(*c, env->dialogs, env->writeContacts("w.csv", 2, 4));
        checkBox()->click();
        env->dialogs.answers.push_back("No");
        checkBox()->click();
        QVERIFY(checkBox()->isChecked());
        QCOMPARE(tableRows(table()).size(), 4);

        env->dialogs.answers.push_back("Yes");
        checkBox()->click();
        QCOMPARE(env->dialogs.alerts.back().title, QStringLiteral("Alert"));
        QCOMPARE(tableRows(table()).size(), 0);
        QVERIFY(userMappingDictionary.empty());
        QCOMPARE(csv()->count(), 4);
        QCOMPARE(vcard()->count(), 30);
        QVERIFY(!button("btnImportOutlet")->isEnabled());
        QVERIFY(!button("btnRemoveMappingOutlet")->isEnabled());
    }

    void removedNamesComeBackExactlyAndStillMatch() {
        loadCsv(*c, env->dialogs,
                env->writeCsv("s.csv", " Name ,   ,Phone\r\nAnn,blank,1\r\nBob,blank,2\r\n"));
        checkBox()->click();
        QCOMPARE(tableRows(table()),
                 QStringList({" Name  -> FirstName", "    -> LastName", "Phone -> MiddleName"}));

        table()->selectRow(0);
        click(c.get(), "btnRemoveMappingOutlet");
        table()->selectRow(0); // the blank-named column
        click(c.get(), "btnRemoveMappingOutlet");
        QVERIFY(!checkBox()->isChecked());
        QCOMPARE(comboItems(csv()), QStringList({" Name ", "   "}));
        QCOMPARE(vcard()->itemText(vcard()->count() - 1), QStringLiteral("LastName"));
        QCOMPARE(vcard()->itemText(vcard()->count() - 2), QStringLiteral("FirstName"));
        QCOMPARE(tableRows(table()), QStringList({"Phone -> MiddleName"}));

        // Paired again, the names still find their columns.
        csv()->setCurrentIndex(0);
        vcard()->setCurrentIndex(vcard()->findText("FullName"));
        click(c.get(), "addMappingOutlet");
        QVERIFY(c->runStep2());
        QCOMPARE(mappingDictionary.at("4"), std::string("0"));
    }

    void removingTheLastPairDisablesExport() {
        loadCsv(*c, env->dialogs, env->writeContacts("w.csv", 2, 1));
        checkBox()->click();
        // With no row selected only the prompts go back.
        table()->clearSelection();
        click(c.get(), "btnRemoveMappingOutlet");
        QCOMPARE(tableRows(table()).size(), 1);

        table()->selectRow(0);
        click(c.get(), "btnRemoveMappingOutlet");
        QVERIFY(userMappingDictionary.empty());
        QVERIFY(!button("btnImportOutlet")->isEnabled());
        QVERIFY(!button("btnRemoveMappingOutlet")->isEnabled());
        QVERIFY(button("btnStartStep2Outlet")->isEnabled());
    }

    void failedStep2StopsTheExport() {
        loadCsv(*c, env->dialogs, env->writeContacts("w.csv", 3, 2));
        checkBox()->click();
        env->dialogs.panelAnswers.push_back(env->files.path());
        click(c.get(), "btnBrowseDestinationFileOutlet");
        // A pair whose column is not in the header row cannot be used.
        userMappingDictionary["Company"] = "Nowhere";
        click(c.get(), "btnImportOutlet");
        QCOMPARE(widget<QLabel>(c.get(), "lblProgressFileCount")->text(),
                 QStringLiteral("ERROR: while mapping properties"));
        QVERIFY(!c->isConversionActive());
        QVERIFY(button("btnImportOutlet")->isEnabled());
        QVERIFY(!widget<QProgressBar>(c.get(), "progressOutlet")->isVisible());
        QCOMPARE(QDir(env->files.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 0);
        QVERIFY(env->logText().contains("] INFO:UI End: STEP 2\n"));
    }

private:
    QComboBox* csv() { return widget<QComboBox>(c.get(), "comboBoxCSVHeaders"); }
    QComboBox* vcard() { return widget<QComboBox>(c.get(), "comboBoxVcardProperties"); }
    QTableView* table() { return widget<QTableView>(c.get(), "UserMappingTable"); }
    QCheckBox* checkBox() { return widget<QCheckBox>(c.get(), "mapAllCkeckBoxOutlet"); }
    QPushButton* button(const char* name) { return widget<QPushButton>(c.get(), name); }

    WindowFixture fixture;
    std::unique_ptr<AppTestEnvironment>& env = fixture.env;
    std::unique_ptr<AppController>& c = fixture.c;
};

QTEST_MAIN(MappingEditor)
#include "test_mapping_editor.moc"
