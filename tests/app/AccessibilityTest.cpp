// Assistive technology finds every field of the Configuration page by its label and reads every
// instrument's value.
#include "app/TForm1.h"
#include "support/RecordingPresenter.h"
#include "widgets/Dial.h"
#include "widgets/LedBar.h"
#include "widgets/RockerSwitch.h"
#include "widgets/Thermometer.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace climate::app;
using namespace climate::config;
using namespace climate::widgets;

namespace {

// Every accessible object below `root`, keyed by the QObject behind it.
void walk(QAccessibleInterface* node, QHash<QObject*, QAccessibleInterface*>& found,
          int depth = 0) {
    if (node == nullptr || depth > 40) {
        return;
    }
    if (node->object() != nullptr) {
        found.insert(node->object(), node);
    }
    for (int i = 0; i < node->childCount(); ++i) {
        walk(node->child(i), found, depth + 1);
    }
}

class WindowAccessibility : public ::testing::Test {
protected:
    WindowAccessibility()
        : form(
              QStringList{},
              [this] {
                  auto recorder = std::make_unique<RecordingPresenter>();
                  messages = recorder.get();
                  return recorder;
              }(),
              [](int) {}) {
        form.show();
        walk(QAccessible::queryAccessibleInterface(&form), tree);
    }

    QAccessibleInterface* node(const char* objectName) {
        QObject* object = form.findChild<QObject*>(QString::fromLatin1(objectName));
        EXPECT_NE(object, nullptr) << objectName;
        return tree.value(object, nullptr);
    }

    RecordingPresenter* messages = nullptr;
    TForm1 form;
    QHash<QObject*, QAccessibleInterface*> tree;
};

TEST_F(WindowAccessibility, EveryConfigurationFieldHasAUniqueName) {
    QWidget* page = form.findChild<QTabWidget*>(QStringLiteral("Data"))->widget(0);
    QList<QWidget*> fields;
    for (QLineEdit* edit : page->findChildren<QLineEdit*>()) {
        // The edit fields inside combo boxes belong to their combo box.
        if (qobject_cast<QComboBox*>(edit->parentWidget()) == nullptr) {
            fields << edit;
        }
    }
    for (QComboBox* combo : page->findChildren<QComboBox*>()) {
        fields << combo;
    }
    ASSERT_EQ(fields.size(), 39 + 4 /*Edit4, Edit30, Edit31, Edit17*/ + 2 /*ComboBox6, 7*/ +
                                 1 /*SWV*/ + 5 /*serial combos*/);

    QHash<QString, QString> owners;
    for (QWidget* field : fields) {
        QAccessibleInterface* accessible = tree.value(field, nullptr);
        ASSERT_NE(accessible, nullptr) << field->objectName().toStdString() << " not in the tree";
        const QString name = accessible->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty()) << field->objectName().toStdString();
        EXPECT_FALSE(owners.contains(name))
            << name.toStdString() << " names both " << owners.value(name).toStdString() << " and "
            << field->objectName().toStdString();
        owners.insert(name, field->objectName());
    }
}

TEST_F(WindowAccessibility, FieldsAreNamedByTheirLabels) {
    const std::pair<const char*, const char*> expected[] = {
        {"Edit12", "Internal Fan StepRev"},
        {"Edit34", "External Fan StepRev"},
        {"Edit53", "Heater DeltTemp"},
        {"Edit7", "Internal Fan DeltTemp"},
        {"Edit29", "Compressor DeltTemp"},
        {"Edit4", "Address"},
        {"Edit17", "Comm Address"},
        {"SWV", "FW Version"},
        {"rdCOM", "Port Num"},
        {"baudrate", "BaudRate"},
        {"ComboBox1", "Intfan1"},
        {"ComboBox7", "Type"},
        {"Edit41", "PluseNo"},
        {"Edit24", "HighTemp"},
        {"Edit43", "Min Delt-T"},
        {"Edit50", "MaxCurrent"},
    };
    for (const auto& [object, name] : expected) {
        QAccessibleInterface* accessible = node(object);
        ASSERT_NE(accessible, nullptr) << object;
        EXPECT_EQ(accessible->text(QAccessible::Name), QString::fromUtf8(name)) << object;
    }
}

TEST_F(WindowAccessibility, SetButtonsAreToldApartByTheirGroup) {
    const std::pair<const char*, const char*> expected[] = {
        {"Set", "Internal Fan"}, {"Button10", "External Fan"}, {"Button15", "Heater"},
        {"Button7", "Address"},  {"Button12", "All"},          {"Button5", "FW Version"},
    };
    for (const auto& [object, group] : expected) {
        QAccessibleInterface* accessible = node(object);
        ASSERT_NE(accessible, nullptr) << object;
        EXPECT_EQ(accessible->text(QAccessible::Description), QString::fromUtf8(group)) << object;
    }
}

// A combo box has its drop-down list as first child, one item per entry with the current one
// selected, and when editable its edit field as second child; its description is the choice. The
// choice is made programmatically (as at start-up, by Read All or a load), never by opening the
// list, which is when Qt itself would select the entry.
TEST_F(WindowAccessibility, ComboBoxesListTheirEntriesAndTellTheirChoice) {
    const struct {
        const char* object;
        bool editable;
        int choice;
    } cases[] = {{"ComboBox1", false, 1}, {"ComboBox7", false, 0}, {"parity", true, 2}};
    for (const auto& c : cases) {
        auto* combo = form.findChild<QComboBox*>(QString::fromLatin1(c.object));
        ASSERT_NE(combo, nullptr) << c.object;
        combo->setCurrentIndex(c.choice);
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(combo);
        ASSERT_NE(box, nullptr) << c.object;
        ASSERT_EQ(box->childCount(), c.editable ? 2 : 1) << c.object;

        QAccessibleInterface* list = box->child(0);
        ASSERT_NE(list, nullptr) << c.object;
        EXPECT_EQ(list->role(), QAccessible::List) << c.object;
        EXPECT_EQ(box->indexOfChild(list), 0) << c.object;
        // The bridge climbs from an item back to the box: the list's parent must be the box.
        ASSERT_NE(list->parent(), nullptr) << c.object;
        EXPECT_EQ(list->parent()->object(), combo) << c.object;
        ASSERT_EQ(list->childCount(), combo->count()) << c.object;
        for (int i = 0; i < combo->count(); ++i) {
            QAccessibleInterface* item = list->child(i);
            ASSERT_NE(item, nullptr) << c.object << " item " << i;
            EXPECT_EQ(item->role(), QAccessible::ListItem) << c.object << " item " << i;
            EXPECT_EQ(item->text(QAccessible::Name), combo->itemText(i)) << c.object;
            EXPECT_EQ(item->state().selected, i == c.choice) << c.object << " item " << i;
        }
        EXPECT_EQ(box->text(QAccessible::Description), combo->itemText(c.choice)) << c.object;

        if (c.editable) {
            QAccessibleInterface* edit = box->child(1);
            ASSERT_NE(edit, nullptr) << c.object;
            EXPECT_EQ(edit->role(), QAccessible::EditableText) << c.object;
            EXPECT_EQ(box->indexOfChild(edit), 1) << c.object;
            ASSERT_NE(edit->textInterface(), nullptr) << c.object;
            EXPECT_EQ(edit->textInterface()->text(0, edit->textInterface()->characterCount()),
                      combo->itemText(c.choice))
                << c.object;

            // Text that matches no entry leaves no entry selected.
            combo->setEditText(QStringLiteral("ZERO"));
            for (int i = 0; i < combo->count(); ++i) {
                EXPECT_FALSE(list->child(i)->state().selected) << c.object << " item " << i;
            }
            EXPECT_EQ(box->text(QAccessible::Description), QStringLiteral("ZERO")) << c.object;
        }

        combo->setCurrentIndex(-1);
        for (int i = 0; i < combo->count(); ++i) {
            EXPECT_FALSE(list->child(i)->state().selected) << c.object << " item " << i;
        }
    }
}

// An entry highlighted in the open list but not chosen does not stay selected once it closes.
TEST_F(WindowAccessibility, ClosingTheListUnchosenKeepsTheChoiceSelected) {
    auto* combo = form.findChild<QComboBox*>(QStringLiteral("ComboBox3"));
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(0);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(combo)->child(0);
    ASSERT_NE(list, nullptr);
    combo->showPopup();
    combo->view()->setCurrentIndex(combo->model()->index(1, 0));
    ASSERT_TRUE(list->child(1)->state().selected);
    combo->hidePopup();
    // Some styles close the list with an animation.
    ASSERT_TRUE(QTest::qWaitFor([combo] { return !combo->view()->window()->isVisible(); }, 2000));
    // The list follows the box once the events of the closing are done.
    EXPECT_TRUE(QTest::qWaitFor([list] { return list->child(0)->state().selected; }, 2000));
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_FALSE(list->child(1)->state().selected);
}

TEST_F(WindowAccessibility, InstrumentsReadTheirValues) {
    form.findChild<Dial*>(QStringLiteral("iAngularGauge1"))->setPosition(1450);
    form.findChild<Thermometer*>(QStringLiteral("iThermometer1"))->setPosition(-10);
    form.findChild<Dial*>(QStringLiteral("iAngularGauge5"))->setPosition(48.5);

    const struct {
        const char* object;
        const char* name;
        const char* value;
    } expected[] = {
        {"iAngularGauge1", "Intfan1 speed", "1450 RPM"},
        {"iThermometer1", "Temperature 1", "-10.0 ℃"},
        {"iAngularGauge5", "Supply voltage", "48.5 V"},
    };
    for (const auto& row : expected) {
        QObject* object = form.findChild<QObject*>(QString::fromLatin1(row.object));
        ASSERT_NE(object, nullptr) << row.object;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
        ASSERT_NE(accessible, nullptr) << row.object;
        EXPECT_EQ(accessible->text(QAccessible::Name), QString::fromUtf8(row.name)) << row.object;
        EXPECT_EQ(accessible->text(QAccessible::Value), QString::fromUtf8(row.value)) << row.object;
    }
    QAccessibleInterface* link =
        QAccessible::queryAccessibleInterface(form.findChild<LedBar*>(QStringLiteral("iLedBar1")));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->text(QAccessible::Name), QStringLiteral("Link"));
}

TEST_F(WindowAccessibility, PressingTheRockerActsLikeAClick) {
    auto* rocker = form.findChild<RockerSwitch*>(QStringLiteral("iSwitchRocker1"));
    ASSERT_NE(rocker, nullptr);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(rocker);
    ASSERT_NE(accessible, nullptr);
    QAccessibleActionInterface* actions = accessible->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    ASSERT_TRUE(rocker->isOn());

    // The port is closed: the handler says so, and the rocker flips all the same.
    actions->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(messages->shown().size(), 1u);
    EXPECT_EQ(messages->shown()[0].message.text, "ComPort Not Open!!");
    EXPECT_EQ(messages->shown()[0].message.caption, "Comm Error");
    EXPECT_FALSE(rocker->isOn());
    EXPECT_TRUE(accessible->state().checkable);
    EXPECT_FALSE(accessible->state().checked);
}

} // namespace
