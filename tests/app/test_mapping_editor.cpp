// Pairing CSV columns with vCard properties through the real window.
#include "AppTestSupport.h"
#include "RunState.h"

#include <QFileInfo>

class MappingEditor : public WindowTestCase {
    Q_OBJECT

private slots:
    void addNeedsASelectionInEachList() {
        loadCsv(*window, env->dialogs, env->writeCsv("a.csv", "Name,Phone\r\nAnn,1\r\n"));
        csv()->setCurrentIndex(0);
        env->dialogs.answers.push_back("Ok");
        click(window.get(), "addMappingOutlet");
        QCOMPARE(env->dialogs.alerts.back().title, QStringLiteral("Stop"));
        QCOMPARE(env->dialogs.alerts.back().text,
                 QStringLiteral("Please select columns to be mapped."));
        QVERIFY(userMappingDictionary.empty());
        QCOMPARE(csv()->count(), 2);
        QVERIFY(!button("btnImportOutlet")->isEnabled());
    }

    void addPairsTheSelectedNamesAndOffersTheNextOnes() {
        loadCsv(*window, env->dialogs, env->writeCsv("a.csv", "Name,Phone,Mail\r\nAnn,1,a@x\r\n"));
        csv()->setCurrentIndex(1); // Phone
        vcard()->setCurrentIndex(vcard()->findText("MobileNumber"));
        click(window.get(), "addMappingOutlet");
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
        click(window.get(), "addMappingOutlet");
        QCOMPARE(tableRows(table()), QStringList({"Phone -> MobileNumber", "Name -> FirstName"}));
        auto* model = table()->model();
        QCOMPARE(model->headerData(0, Qt::Horizontal, Qt::UserRole).toString(),
                 QStringLiteral("CSVColumn"));
        QCOMPARE(model->headerData(1, Qt::Horizontal, Qt::UserRole).toString(),
                 QStringLiteral("vCardColumn"));

        click(window.get(), "addMappingOutlet"); // Mail with LastName
        QCOMPARE(csv()->count(), 0);
        env->dialogs.answers.push_back("Ok");
        vcard()->setCurrentIndex(0);
        click(window.get(), "addMappingOutlet");
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
        loadCsv(*window, env->dialogs, env->writeContacts("w.csv", 2, columns));
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
        loadCsv(*window, env->dialogs, env->writeContacts("w.csv", 2, 3));
        csv()->setCurrentIndex(2);
        vcard()->setCurrentIndex(vcard()->findText("EmailAddressWork"));
        click(window.get(), "addMappingOutlet");
        checkBox()->click();
        QCOMPARE(tableRows(table()), QStringList({"Col2 -> EmailAddressWork", "Col0 -> FirstName",
                                                  "Col1 -> LastName"}));

        // With one list empty, ticking the box makes no pair.
        window = std::make_unique<AppController>();
        window->show();
        loadCsv(*window, env->dialogs, env->writeContacts("x.csv", 2, 1));
        csv()->setCurrentIndex(0);
        vcard()->setCurrentIndex(0);
        click(window.get(), "addMappingOutlet");
        button("btnImportOutlet")->setEnabled(false);
        checkBox()->click();
        QCOMPARE(tableRows(table()).size(), 1);
        QVERIFY(!button("btnImportOutlet")->isEnabled());
    }

    void clearingMapAllAsksFirst() {
        loadCsv(*window, env->dialogs, env->writeContacts("w.csv", 2, 4));
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
        loadCsv(*window, env->dialogs,
                env->writeCsv("s.csv", " Name ,   ,Phone\r\nAnn,blank,1\r\nBob,blank,2\r\n"));
        checkBox()->click();
        QCOMPARE(tableRows(table()),
                 QStringList({" Name  -> FirstName", "    -> LastName", "Phone -> MiddleName"}));

        table()->selectRow(0);
        click(window.get(), "btnRemoveMappingOutlet");
        table()->selectRow(0); // the blank-named column
        click(window.get(), "btnRemoveMappingOutlet");
        QVERIFY(!checkBox()->isChecked());
        QCOMPARE(comboItems(csv()), QStringList({" Name ", "   "}));
        QCOMPARE(vcard()->itemText(vcard()->count() - 1), QStringLiteral("LastName"));
        QCOMPARE(vcard()->itemText(vcard()->count() - 2), QStringLiteral("FirstName"));
        QCOMPARE(tableRows(table()), QStringList({"Phone -> MiddleName"}));

        // Paired again, the names still find their columns.
        csv()->setCurrentIndex(0);
        vcard()->setCurrentIndex(vcard()->findText("FullName"));
        click(window.get(), "addMappingOutlet");
        QVERIFY(window->runStep2());
        QCOMPARE(mappingDictionary.at("4"), std::string("0"));
    }

    void removingTheLastPairDisablesExport() {
        loadCsv(*window, env->dialogs, env->writeContacts("w.csv", 2, 1));
        checkBox()->click();
        // With no row selected only the prompts go back.
        table()->clearSelection();
        click(window.get(), "btnRemoveMappingOutlet");
        QCOMPARE(tableRows(table()).size(), 1);

        table()->selectRow(0);
        click(window.get(), "btnRemoveMappingOutlet");
        QVERIFY(userMappingDictionary.empty());
        QVERIFY(!button("btnImportOutlet")->isEnabled());
        QVERIFY(!button("btnRemoveMappingOutlet")->isEnabled());
        QVERIFY(button("btnStartStep2Outlet")->isEnabled());
    }

    void failedStep2StopsTheExport() {
        loadCsv(*window, env->dialogs, env->writeContacts("w.csv", 3, 2));
        checkBox()->click();
        env->dialogs.panelAnswers.push_back(env->files.path());
        click(window.get(), "btnBrowseDestinationFileOutlet");
        // A pair whose column is not in the header row cannot be used.
        userMappingDictionary["Company"] = "Nowhere";
        click(window.get(), "btnImportOutlet");
        QCOMPARE(widget<QLabel>(window.get(), "lblProgressFileCount")->text(),
                 QStringLiteral("ERROR: while mapping properties"));
        QVERIFY(!window->isConversionActive());
        QVERIFY(button("btnImportOutlet")->isEnabled());
        QVERIFY(!widget<QProgressBar>(window.get(), "progressOutlet")->isVisible());
        QCOMPARE(QDir(env->files.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 0);
        QVERIFY(env->logText().contains("] INFO:UI End: STEP 2\n"));
    }

private:
    QComboBox* csv() { return widget<QComboBox>(window.get(), "comboBoxCSVHeaders"); }
    QComboBox* vcard() { return widget<QComboBox>(window.get(), "comboBoxVcardProperties"); }
    QTableView* table() { return widget<QTableView>(window.get(), "UserMappingTable"); }
    QCheckBox* checkBox() { return widget<QCheckBox>(window.get(), "mapAllCkeckBoxOutlet"); }
    QPushButton* button(const char* name) { return widget<QPushButton>(window.get(), name); }
};

QTEST_MAIN(MappingEditor)
#include "test_mapping_editor.moc"
