#include "ParameterSets.h"

#include "ParameterFile.h"
#include "ParameterModel.h"

#include "link/CommEngine.h"
#include "link/PortGate.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace climate::config {

using namespace climate::link;

namespace {

constexpr auto LastFolderKey = "ParameterFiles/LastFolder";
constexpr auto SaveCaption = "Save Parameters";
constexpr auto LoadCaption = "Load Parameters";

} // namespace

ParameterSets::ParameterSets(CommEngine& engine, const ConfigurationView& view,
                             ParameterModel& model, const ParameterForm& form,
                             std::unique_ptr<FileChooser> chooser)
    : m_engine(engine), m_view(view), m_model(model), m_chooser(std::move(chooser)),
      m_marks(model, form) {}

ParameterSets::~ParameterSets() = default;

QString ParameterSets::lastFolder() {
    const QString folder = QSettings().value(QLatin1String(LastFolderKey)).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
        return folder;
    }
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void ParameterSets::rememberFolder(const QString& file) {
    QSettings().setValue(QLatin1String(LastFolderKey), QFileInfo(file).absolutePath());
}

void ParameterSets::tell(const QString& text, const char* caption, bool error) {
    m_engine.showMessage(UserMessage(text.toStdString(), caption,
                                     error ? UserMessage::Icon::Error : UserMessage::Icon::None));
}

void ParameterSets::saveClick() {
    const QString firmware = m_model.firmwareVersion();
    const QString proposed =
        QDir(lastFolder())
            .filePath(defaultFileName(QDate::currentDate().toString(Qt::ISODate), firmware));
    const QString path = m_chooser->saveFileName(proposed);
    if (path.isEmpty()) {
        return;
    }
    FileHeader header;
    header.program = (QCoreApplication::applicationName() + QLatin1Char(' ') +
                      QCoreApplication::applicationVersion())
                         .trimmed();
    header.saved = QDateTime::currentDateTime().toString(Qt::ISODate);
    header.deviceAddress = static_cast<int>(m_engine.state().DeviceAddress);
    header.firmwareVersion = firmware;
    const FileOutcome outcome = saveParameterFile(path, m_model, header);
    rememberFolder(path);
    if (!outcome.done) {
        tell(outcome.message, SaveCaption, true);
    }
}

void ParameterSets::loadClick() {
    const QString path = m_chooser->openFileName(lastFolder());
    if (path.isEmpty()) {
        return;
    }
    rememberFolder(path);
    const FileOutcome outcome = loadParameterFile(path, m_model);
    if (outcome.done) {
        m_marks.loaded();
    }
    if (!outcome.message.isEmpty()) {
        tell(outcome.message, LoadCaption, !outcome.done);
    }
}

void ParameterSets::watchLink() {
    m_marks.watch(m_engine.state().DeviceAddress, m_view.port->portOpen());
}

} // namespace climate::config
