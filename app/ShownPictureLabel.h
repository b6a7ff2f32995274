#pragma once

#include <QLabel>
#include <QString>

namespace climate::app {

// A label whose picture (an image file or resource) is decoded only while the label is shown,
// and dropped when it is hidden: a page that is not visible holds neither the decoded image nor
// the image reader's plugin. The picture looks the same whenever it is seen.
class ShownPictureLabel : public QLabel {
    Q_OBJECT

public:
    explicit ShownPictureLabel(const QString& picturePath, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QString m_picturePath;
};

} // namespace climate::app
