#include <QtTest>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QMenuBar>
#include <QSpinBox>
#include <QTableWidget>
#include <memory>

#include "import_dialog.h"
#include "main_window.h"
#include "nesting/nest_system.h"
#include "support/temp_folder.h"

using namespace orvo;

namespace {

const QString kWorkedExample = QStringLiteral(ORVO_SOURCE_DIR "/examples/worked_example.preSrc");

// Answers the next modal import dialog: sets the first quantity and accepts.
void answerImportDialog(int quantity)
{
    QTimer::singleShot(0, [quantity] {
        auto* dialog = qobject_cast<ImportDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        dialog->quantityBox(0)->setValue(quantity);
        dialog->accept();
    });
}

}  // namespace

class ImportDialogTest : public QObject {
    Q_OBJECT

private:
    test::TempFolder folder_;
    std::unique_ptr<MainWindow> window_;
    std::vector<std::string> messages_;

    QString file(const char* name) const { return QString::fromStdString(folder_.file(name)); }

private slots:
    void initTestCase() { QDir::setCurrent(QString::fromStdString(folder_.path())); }

    void init()
    {
        messages_.clear();
        window_ = std::make_unique<MainWindow>();
        window_->platform().setMessageHook(
            [this](const std::string& text, const std::string&) { messages_.push_back(text); });
    }

    // The table holds a row per file; the job takes what the boxes show.
    void dialogMakesTheJobItShows()
    {
        const JobSettings settings{2500.0, 1250.0, 4.0, 8.0, 6, std::nullopt, false};
        ImportDialog dialog({QStringLiteral("/a/bracket.dxf"), QStringLiteral("/b/flange.DXF")}, settings, nullptr);
        QCOMPARE(dialog.table()->rowCount(), 2);
        QCOMPARE(dialog.table()->item(1, 0)->text(), QStringLiteral("flange.DXF"));
        dialog.quantityBox(1)->setValue(12);
        dialog.plateWidthBox()->setValue(0.0);  // held at the smallest plate
        dialog.turnOverBox()->setChecked(true);

        const Job job = dialog.job();
        QCOMPARE(job.entries.size(), size_t(2));
        QCOMPARE(job.entries[0].path, std::string("/a/bracket.dxf"));
        QCOMPARE(job.entries[0].quantity, 1);
        QCOMPARE(job.entries[1].quantity, 12);
        QCOMPARE(job.settings.plateLength, 2500.0);
        QCOMPARE(job.settings.plateWidth, 0.001);
        QCOMPARE(job.settings.partGap, 4.0);
        QCOMPARE(job.settings.plateMargin, 8.0);
        QVERIFY(job.settings.turnOver);
        QCOMPARE(job.settings.rotationNumber, std::optional<int32_t>(6));
    }

    void importedPartsOpenAsTheirCopies()
    {
        bool listed = false;
        for (QAction* menu : window_->menuBar()->actions()) {
            for (QAction* a : menu->menu()->actions()) listed = listed || a->text() == "Import DXF Parts...";
        }
        QVERIFY(listed);

        answerImportDialog(3);
        window_->importParts({kWorkedExample});
        QVERIFY(window_->nestSystem() != nullptr);
        QCOMPARE(window_->nestSystem()->recordNames,
                 (std::vector<std::string>{"P-001#1", "P-001#2", "P-001#3"}));
        QCOMPARE(window_->nestSystem()->plateLength, 3000.0);
        QVERIFY(messages_.empty());
    }

    // A DXF file that gives no part (unreadable, or none in it) is named, and the open
    // parts stay.
    void anUnreadableFileKeepsTheOpenParts()
    {
        QVERIFY(window_->openLibrary(kWorkedExample));
        NestSystem* before = window_->nestSystem();
        test::writeFile(folder_.file("bracket.dxf"), "0\nEOF\n");
        answerImportDialog(2);
        window_->importParts({kWorkedExample, file("bracket.dxf")});
        QCOMPARE(window_->nestSystem(), before);
        QCOMPARE(messages_.size(), size_t(1));
        QVERIFY2(messages_[0].find(": bracket.dxf") != std::string::npos ||
                     messages_[0].find(" bracket.dxf:") != std::string::npos,
                 messages_[0].c_str());
    }

    // A job file opens like a library, through the same command.
    void aJobFileOpensLikeALibrary()
    {
        test::writeFile(folder_.file("job.json"),
                        "{\"plate\": {\"length\": 1200, \"width\": 600}, \"gap\": 2, \"parts\": [{\"file\": \"" +
                            kWorkedExample.toStdString() + "\", \"quantity\": 2}]}");
        QVERIFY(window_->openLibrary(file("job.json")));
        QCOMPARE(window_->nestSystem()->recordNames, (std::vector<std::string>{"P-001#1", "P-001#2"}));
        QCOMPARE(window_->nestSystem()->plateWidth, 600.0);

        test::writeFile(folder_.file("bad.json"), "{\"plate\": {\"length\": 1200, \"width\": 600}, \"parts\": "
                                                  "[{\"file\": \"x.dxf\", \"quantity\": 0}]}");
        QVERIFY(!window_->openLibrary(file("bad.json")));
        QCOMPARE(window_->nestSystem()->recordNames.size(), size_t(2));
        QVERIFY(!messages_.empty() && messages_.back().find("parts[0] (x.dxf): 数量") != std::string::npos);
    }
};

QTEST_MAIN(ImportDialogTest)
#include "test_import_dialog.moc"
