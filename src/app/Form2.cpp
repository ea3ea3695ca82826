// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Form2.h"

#include "ui/Accessibility.h"
#include "ui/Twips.h"
#include "settings/Settings.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QGroupBox>
#include <QLabel>
#include <QAbstractItemView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolTip>
#include <QValidator>

#include <algorithm>

namespace {
const QStringList Ports = {QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
                           QStringLiteral("COM4"), QStringLiteral("COM5"), QStringLiteral("COM6"),
                           QStringLiteral("COM7"), QStringLiteral("COM8"), QStringLiteral("COM9")};
const QStringList Speeds = {QStringLiteral("4800"), QStringLiteral("9600"), QStringLiteral("19200"),
                            QStringLiteral("38400")};

// A device name is stored whole or not at all: reading gives back at most
// SettingMaxBytes bytes, and a cut name would open another device.
class StorableName : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        return input.toLocal8Bit().size() > SettingMaxBytes ? Invalid : Acceptable;
    }
};

QComboBox *editableCombo(const QStringList &items, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setEditable(true);
    // The list is a fixed choice; whatever is typed is taken as it stands
    // and must not grow the list.
    combo->setInsertPolicy(QComboBox::NoInsert);
    // What is typed is what is stored: no completion slipped in from the list.
    combo->setCompleter(nullptr);
    combo->addItems(items);
    return combo;
}
} // namespace

Form2::Form2(SettingsPath settingsPath, QWidget *parent)
    : QWidget(parent, Qt::Dialog)
    , m_settingsPath(std::move(settingsPath))
{
    Accessibility::presentDialogsAsDialogs();
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("通信設定"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(4680 / TwipsPerPixel, 3090 / TwipsPerPixel);

    m_frame1 = new QGroupBox(tr("RS232Cポートの設定"), this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setGeometry(twips(450, 300, 3705, 2085));

    // Labels and combos sit a little wider apart than drawn so that the
    // Japanese captions are not cut off.
    m_label1 = new QLabel(tr("ポート"), m_frame1);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(twips(720, 450, 975, 255));
    m_combo1 = editableCombo(Ports, m_frame1);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setGeometry(twips(1740, 390, 1125, 300));

    m_label2 = new QLabel(tr("ボーレート"), m_frame1);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setGeometry(twips(720, 1140, 975, 255));
    m_combo2 = editableCombo(Speeds, m_frame1);
    m_combo2->setObjectName(QStringLiteral("Combo2"));
    m_combo2->setGeometry(twips(1740, 1110, 1155, 300));

    m_command1 = new QPushButton(tr("終了"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(twips(3270, 2490, 855, 405));

    connect(m_combo1, &QComboBox::editTextChanged, this, &Form2::Combo1_Change);
    connect(m_combo1, &QComboBox::activated, this, &Form2::Combo1_Change);
    connect(m_combo2, &QComboBox::editTextChanged, this, &Form2::Combo2_Change);
    connect(m_combo2, &QComboBox::activated, this, &Form2::Combo2_Change);
    connect(m_command1, &QPushButton::clicked, this, &Form2::Command1_Click);

    // On Linux a combo box is announced by its text and by the label tied to
    // it, elsewhere by its name; the typing field inside is announced alone.
    m_label1->setBuddy(m_combo1);
    m_label2->setBuddy(m_combo2);
    Accessibility::describe(m_combo1, m_label1->text(),
                            tr("無線機をつなぐシリアルポート。次に起動したときから使われます。"));
    Accessibility::describe(m_combo2, m_label2->text(),
                            tr("シリアルポートの通信速度。次に起動したときから使われます。"));
    // Below the speed, as wide as the frame allows: device names are long.
    m_label3 = new QLabel(tr("デバイス"), m_frame1);
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label3->setGeometry(twips(720, 1470, 975, 255));
    m_combo3 = editableCombo({}, m_frame1);
    for (const Device &device : presentDevices()) {
        m_combo3->addItem(device.shown, device.name);
    }
    m_combo3->setObjectName(QStringLiteral("Combo3"));
    m_combo3->setGeometry(twips(720, 1710, 2835, 300));
    m_combo3->view()->setMinimumWidth(m_combo3->view()->sizeHintForColumn(0) + 8);
    m_label3->setBuddy(m_combo3);
    Accessibility::describe(m_combo3, m_label3->text(),
                            tr("選んだポート番号が指すデバイス。シリアルデバイスか、"
                               "rigctld:ホスト:ポート、flrig:ホスト:ポート、tcp:ホスト:ポート。"
                               "次に起動したときから使われます。"));
    m_combo3->lineEdit()->setAccessibleName(m_label3->text());
    m_combo3->setValidator(new StorableName(m_combo3));
    connect(m_combo3->lineEdit(), &QLineEdit::inputRejected, this, [this] {
        const QString reason =
            tr("デバイス名は %1 バイトまでです。それより長い名前は記録できません。").arg(SettingMaxBytes);
        QToolTip::showText(m_combo3->mapToGlobal(QPoint(0, m_combo3->height())), reason, m_combo3);
    });
    connect(m_combo3, &QComboBox::editTextChanged, this, &Form2::Combo3_Change);
    // A port picked from the list is stored by its name ("COM12"), not as
    // the list describes it.
    connect(m_combo3, &QComboBox::activated, this, [this](int index) {
        const QString name = m_combo3->itemData(index).toString();
        if (!name.isEmpty()) {
            m_combo3->setEditText(name);
        }
        Combo3_Change();
    });
    connect(m_combo1, &QComboBox::currentTextChanged, this, &Form2::showDevice);
    // Port, speed, device, then the exit button.
    QWidget::setTabOrder(m_combo2, m_combo3);
    QWidget::setTabOrder(m_combo3, m_command1);
    m_combo1->lineEdit()->setAccessibleName(m_label1->text());
    m_combo2->lineEdit()->setAccessibleName(m_label2->text());
    Accessibility::describe(m_command1, tr("通信設定を終了"), tr("変更したポートと通信速度を記録して閉じます。"));
}

void Form2::Form_Load(const LineSettings &current)
{
    m_setting = current;
    // Showing the present values is not a change by the operator.
    const QSignalBlocker quietPort(m_combo1);
    const QSignalBlocker quietSpeed(m_combo2);
    m_combo1->setEditText(QStringLiteral("COM") + current.port.text().left(1));
    m_combo2->setEditText(current.port.BaudText());
    m_settingsChanged = 0;
    showDevice();
}

QList<Form2::Device> Form2::presentDevices()
{
    QList<Device> devices;
#ifdef Q_OS_WIN
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    // COM2 before COM12.
    const auto number = [](const QSerialPortInfo &port) {
        const QString name = port.portName();
        return name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) ? name.mid(3).toInt() : 0;
    };
    std::stable_sort(ports.begin(), ports.end(),
                     [&](const QSerialPortInfo &a, const QSerialPortInfo &b) { return number(a) < number(b); });
    for (const QSerialPortInfo &port : ports) {
        const QString description = port.description().trimmed();
        devices.append(
            {description.isEmpty() ? port.portName() : QStringLiteral("%1 (%2)").arg(description, port.portName()),
             port.portName()});
    }
#else
    QStringList names;
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &link : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        names.append(link.absoluteFilePath());
    }
    for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts()) {
        names.append(port.systemLocation());
    }
    names.removeDuplicates();
    for (const QString &name : names) {
        devices.append({name, name});
    }
#endif
    // Each port once, though Windows may report one under two classes.
    QList<Device> unique;
    for (const Device &device : devices) {
        if (std::none_of(unique.cbegin(), unique.cend(), [&](const Device &d) { return d.name == device.name; })) {
            unique.append(device);
        }
    }
    return unique;
}

void Form2::showDevice()
{
    // The port number as it would be stored: the fourth character of "COMn".
    const int port = PortSetting(m_combo1->currentText().mid(3, 1)).portNumber();
    m_devicePort = port >= 1 ? port : 0;
    const QSignalBlocker quiet(m_combo3);
    const bool fromEnvironment =
        m_devicePort != 0
        && !qEnvironmentVariableIsEmpty(QStringLiteral("RIGDECK_COM%1").arg(m_devicePort).toLatin1().constData());
    m_combo3->setEditText(deviceOf(m_devicePort));
    // The environment wins over the file; what is stored would not count.
    m_combo3->setEnabled(m_devicePort != 0 && !fromEnvironment);
    m_combo3->setToolTip(fromEnvironment ? tr("環境変数 RIGDECK_COM%1 で指定されています。").arg(m_devicePort)
                                         : QString());
}

QString Form2::deviceOf(int port) const
{
    if (m_deviceChoices.contains(port)) {
        return m_deviceChoices.value(port);
    }
    return port == m_setting.portNumber() ? m_setting.device : deviceForPort(port, m_settingsPath());
}

void Form2::Combo3_Change()
{
    if (m_devicePort != 0) {
        m_deviceChoices.insert(m_devicePort, m_combo3->currentText().trimmed());
    }
}

void Form2::Combo1_Change()
{
    m_settingsChanged = 1;
}

void Form2::Combo2_Change()
{
    m_settingsChanged = 1;
}

void Form2::Command1_Click()
{
    close();
}

void Form2::dismiss()
{
    m_dismissed = true;
    close();
}

void Form2::closeEvent(QCloseEvent *event)
{
    if (!m_dismissed) {
        Form_Unload();
    }
    event->accept();
}

void Form2::Form_Unload()
{
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    if (m_settingsChanged != 0) {
        // "COMn" gives its fourth character; the speed is kept as typed. The
        // port in use stays as it is until the program starts again.
        const PortSetting chosen = PortSetting::fromChoice(m_combo1->currentText(), m_combo2->currentText());
        WriteSetting(chosen.text(), Key::Port, Section::Com, m_settingsPath());
        m_setting = {chosen, deviceOf(chosen.portNumber())};
    }
    for (auto choice = m_deviceChoices.cbegin(); choice != m_deviceChoices.cend(); ++choice) {
        WriteSetting(choice.value(), Key::device(choice.key()), Section::Device, m_settingsPath());
    }
    m_setting.device = deviceOf(m_setting.portNumber());
    emit unloaded(m_setting);
}
