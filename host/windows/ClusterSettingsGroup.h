#pragma once

#include <QGroupBox>

class QLineEdit;

namespace qarvel {

// The station dialog's DX cluster part: the node to connect to.
class ClusterSettingsGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit ClusterSettingsGroup(const QString& node, QWidget* parent = nullptr);

    QString Node() const;
    // Empty (no cluster) or a host:port.
    bool IsValid() const;

signals:
    void Changed();

private:
    QLineEdit* node_ = nullptr;
};

} // namespace qarvel
