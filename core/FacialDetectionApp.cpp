#include "core/FacialDetectionApp.h"

#include "core/MessageBoxes.h"
#include "core/SettingsKeys.h"
#include "core/WindowFit.h"
#include "feedback/osw_AutoCenter.h"
#include "feedback/osw_ExternalMouseMoveDetected.h"
#include "feedback/osw_FaceNotFound.h"
#include "feedback/osw_LipsNotClearlyVisible.h"
#include "platform/Autostart.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"

#include <QDataStream>
#include <QDebug>
#include <QKeySequence>
#include <QSettings>
#include <QWidget>

#include <opencv2/core/utility.hpp>

namespace {

const char *const kSoundFiles[] = {
    "LMB-Press-Shorter.wav",
    "LMB-Release-Shorter.wav",
    "Click-Shorter.wav",
    "DoubleClick-Shorter.wav",
    "Pluck-Soft.wav",
    "Beep-Short.wav",
    "BeepHi-Short.wav",
    "BeepLo-Short.wav",
    "Tick-Short.wav",
    "Tock-Short.wav",
    "ScrollTick.wav",
    "RightDrag.wav",
    "Zoom.wav",
    "LoudBlink.wav",
};
static_assert(sizeof(kSoundFiles) / sizeof(kSoundFiles[0]) == size_t(SoundId::Count),
              "one file per sound");

bool isKeySequenceKey(const QString &key)
{
    return key.startsWith(QLatin1String("HK_KEYSEQ_"));
}

// Integer settings hold numbers: switches come in as bools from check boxes and as
// "true"/"false" from files of older versions; both are stored as 0 or 1. Text that is not a
// number stays as it is (readers convert it).
QVariant normalisedInt(const QVariant &value)
{
    if (value.userType() == QMetaType::Bool)
        return QVariant(value.toBool() ? 1 : 0);
    if (value.userType() == QMetaType::QString || value.userType() == QMetaType::QByteArray) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return QVariant(1);
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return QVariant(0);
        bool ok = false;
        const int number = text.toInt(&ok);
        return ok ? QVariant(number) : value;
    }
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? QVariant(number) : value;
}

// Key sequences are kept in their portable text form, the form the settings file holds.
QVariant normalisedString(const QString &key, const QVariant &value)
{
    if (value.userType() == qMetaTypeId<QKeySequence>())
        return QVariant(value.value<QKeySequence>().toString(QKeySequence::PortableText));
    Q_UNUSED(key)
    return QVariant(value.toString());
}

QVariant normalised(const SettingDefinition &def, const QVariant &value)
{
    return def.isString ? normalisedString(QString::fromLatin1(def.key), value)
                        : normalisedInt(value);
}

bool sameValue(const SettingDefinition &def, const QVariant &a, const QVariant &b)
{
    if (def.isString) {
        const QString key = QString::fromLatin1(def.key);
        if (isKeySequenceKey(key))
            return QKeySequence::fromString(a.toString(), QKeySequence::PortableText) ==
                   QKeySequence::fromString(b.toString(), QKeySequence::PortableText);
        return a.toString() == b.toString();
    }
    bool okA = false, okB = false;
    const int x = a.toInt(&okA), y = b.toInt(&okB);
    if (okA && okB)
        return x == y;
    return a == b;
}

QString geometryKey(QWidget *widget)
{
    return widget->objectName() + "/geometry";
}

// The device pixel ratio the geometry was saved at.
QString geometryScaleKey(QWidget *widget)
{
    return widget->objectName() + "/geometryScale";
}

// The frame's top-left corner that the toolkit's saved geometry holds (its first rectangle);
// null when the data is not of that form.
QPoint savedFrameTopLeft(const QByteArray &geometry)
{
    QDataStream stream(geometry);
    stream.setVersion(QDataStream::Qt_4_0);
    quint32 magic = 0;
    quint16 major = 0, minor = 0;
    QRect frame;
    stream >> magic >> major >> minor >> frame;
    if (stream.status() != QDataStream::Ok || magic != 0x1D9D0CB || major != 3)
        return {};
    return frame.topLeft();
}

} // namespace

const char *soundFileName(SoundId id)
{
    return kSoundFiles[size_t(id)];
}

FacialDetectionApp::FacialDetectionApp(int &argc, char **argv)
    : Application(argc, argv)
{
    oswFaceNotFound = new osw_FaceNotFound(nullptr);
    oswLips = new osw_LipsNotClearlyVisible(nullptr);
    oswExternal = new osw_ExternalMouseMoveDetected(nullptr);
    oswAutoCenter = new osw_AutoCenter(nullptr);
    connect(this, &FacialDetectionApp::showFaceNotFound, oswFaceNotFound, &OnScreenWarning::Show);
    connect(this, &FacialDetectionApp::hideFaceNotFound, oswFaceNotFound, &OnScreenWarning::Hide);
    connect(this, &FacialDetectionApp::showLipsNotClearlyVisible, oswLips, &OnScreenWarning::Show);
    connect(this, &FacialDetectionApp::hideLipsNotClearlyVisible, oswLips, &OnScreenWarning::Hide);
    connect(this, &FacialDetectionApp::showExternalMouseMoveDetected, oswExternal,
            &OnScreenWarning::Show);
    connect(this, &FacialDetectionApp::hideExternalMouseMoveDetected, oswExternal,
            &OnScreenWarning::Hide);
    connect(this, &FacialDetectionApp::showAutoCenter, oswAutoCenter, &OnScreenWarning::Show);
    connect(this, &FacialDetectionApp::hideAutoCenter, oswAutoCenter, &OnScreenWarning::Hide);
    // The click engine and the main window read whether these two are on screen.
    connect(oswExternal, &OnScreenWarning::shownChanged, this,
            [this](bool shown) { oswExternalMouseMoveShown = shown; });
    connect(oswAutoCenter, &OnScreenWarning::shownChanged, this,
            [this](bool shown) { oswAutoCenterShown = shown; });

    loadAllSettings();

    pointerOverClickOptions = false;
    pointerOverClickPause = false;
    pointerOffScreen = false;
    clickingActive = getSetting(SettingKeys::CLICK_OPTION_CLICKING_ACTIVE).toBool();
    clickCounter = 0;
    tickFrequency = cv::getTickFrequency();

    loadSounds();
}

FacialDetectionApp::~FacialDetectionApp()
{
    delete oswAutoCenter;
    delete oswExternal;
    delete oswLips;
    delete oswFaceNotFound;
}

FacialDetectionApp *FacialDetectionApp::instance()
{
    return qobject_cast<FacialDetectionApp *>(QCoreApplication::instance());
}

QVariant FacialDetectionApp::getSetting(const QString &key)
{
    std::lock_guard<std::recursive_mutex> lock(settingsMutex);
    auto it = settingsMap.constFind(key);
    return it == settingsMap.constEnd() ? QVariant() : it->value;
}

bool FacialDetectionApp::storeLocked(const QString &key, const QVariant &value, QSettings &file)
{
    const SettingDefinition *def = SettingsSchema::find(key);
    auto it = settingsMap.find(key);
    if (!def || it == settingsMap.end())
        return false;
    const QVariant stored = normalised(*def, value);
    if (sameValue(*def, it->value, stored))
        return false;
    it->value = stored;
    it->changed = true;
    anyChangedMark = true;
    file.setValue(key, stored);
    return true;
}

void FacialDetectionApp::syncAndReport(QSettings &file)
{
    file.sync();
    // A format error is about reading (a byte-order mark, a malformed section line): the
    // file is written all the same. Only an access error means the values were not saved.
    if (file.status() == QSettings::AccessError && !writeFailureReported) {
        // The values still hold for this run; say once that they will not survive it.
        writeFailureReported = true;
        qWarning().noquote() << "Settings could not be written to" << settingsFilePath;
    }
}

void FacialDetectionApp::setSetting(const QString &key, const QVariant &value)
{
    bool changed = false;
    {
        std::lock_guard<std::recursive_mutex> lock(settingsMutex);
        QSettings file(settingsFilePath, QSettings::IniFormat);
        changed = storeLocked(key, value, file);
        if (changed)
            syncAndReport(file);
    }
    // Emitted without the lock: a receiver on another thread may ask the user something
    // while the worker must go on reading settings.
    if (changed)
        emit SettingsChanged();
}

void FacialDetectionApp::setSettings(const QList<QPair<QString, QVariant>> &pairs)
{
    bool changed = false;
    {
        std::lock_guard<std::recursive_mutex> lock(settingsMutex);
        QSettings file(settingsFilePath, QSettings::IniFormat);
        for (const auto &pair : pairs)
            changed = storeLocked(pair.first, pair.second, file) || changed;
        if (changed)
            syncAndReport(file);
    }
    if (changed) {
        emit SettingsChanged();
        emit ClickOptionsSettingsChanged();
    }
}

QList<SettingEntry> FacialDetectionApp::takeChangedSettings()
{
    std::lock_guard<std::recursive_mutex> lock(settingsMutex);
    QList<SettingEntry> entries;
    entries.reserve(settingsMap.size());
    for (auto it = settingsMap.begin(); it != settingsMap.end(); ++it) {
        entries.append(*it);
        it->changed = false;
    }
    anyChangedMark = false;
    return entries;
}

bool FacialDetectionApp::hasChangedSettings()
{
    std::lock_guard<std::recursive_mutex> lock(settingsMutex);
    return anyChangedMark;
}

void FacialDetectionApp::loadAllSettings()
{
    {
        std::lock_guard<std::recursive_mutex> lock(settingsMutex);
        // One pass over the file: a missing file is created holding every key.
        QSettings file(settingsFilePath, QSettings::IniFormat);
        const SettingDefinition *defs = SettingsSchema::definitions();
        for (std::size_t i = 0; i < SettingsSchema::count(); ++i) {
            const SettingDefinition &def = defs[i];
            const QString key = QString::fromLatin1(def.key);
            const QVariant fallback = SettingsSchema::loadDefault(def);
            if (!file.contains(key))
                file.setValue(key, fallback);
            QVariant raw = file.value(key, fallback);
            // An unquoted comma makes the INI reader split a text into a list.
            if (raw.userType() == QMetaType::QStringList)
                raw = raw.toStringList().join(QLatin1Char(','));
            settingsMap.insert(
                key, SettingEntry{key, def.isString ? QVariant(raw.toString()) : normalisedInt(raw),
                                  true});
        }
        anyChangedMark = true;
        syncAndReport(file);
    }
    emit SettingsChanged();
}

QVariant FacialDetectionApp::readSettingWithDefault(const QString &key,
                                                    const QVariant &defaultValue)
{
    std::lock_guard<std::recursive_mutex> lock(settingsMutex);
    QSettings file(settingsFilePath, QSettings::IniFormat);
    if (!file.contains(key))
        file.setValue(key, defaultValue);
    const QVariant value = file.value(key, defaultValue);
    syncAndReport(file);
    return value;
}

void FacialDetectionApp::writeSetting(const QString &key, const QVariant &value)
{
    std::lock_guard<std::recursive_mutex> lock(settingsMutex);
    QSettings file(settingsFilePath, QSettings::IniFormat);
    file.setValue(key, value);
    syncAndReport(file);
}

void FacialDetectionApp::restoreWidgetGeometry(QWidget *widget)
{
    if (!widget)
        return;
    QByteArray geometry;
    double savedScale = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(settingsMutex);
        QSettings file(settingsFilePath, QSettings::IniFormat);
        geometry = file.value(geometryKey(widget)).toByteArray();
        savedScale = file.value(geometryScaleKey(widget)).toDouble();
    }
    if (geometry.isEmpty() || !widget->restoreGeometry(geometry))
        return;
    // Saved at another scale, the place is where it was on the screen, not where the same
    // logical numbers point now (mid-screen or past an edge); the size stays, in logical
    // pixels, what the window's content needs.
    const double scale = platform::pointerScreens().devicePixelRatio();
    const QPoint saved = savedFrameTopLeft(geometry);
    if (savedScale > 0 && !qFuzzyCompare(savedScale, scale) && !saved.isNull())
        widget->move(
            QPoint(int(saved.x() * savedScale / scale), int(saved.y() * savedScale / scale)));
    // A place that does not fit the screen as it is now is fitted, not restored as it was.
    fitToWorkArea(widget);
}

void FacialDetectionApp::saveWidgetGeometry(QWidget *widget)
{
    if (!widget)
        return;
    std::lock_guard<std::recursive_mutex> lock(settingsMutex);
    QSettings file(settingsFilePath, QSettings::IniFormat);
    file.setValue(geometryKey(widget), widget->saveGeometry());
    file.setValue(geometryScaleKey(widget), platform::pointerScreens().devicePixelRatio());
    syncAndReport(file);
}

void FacialDetectionApp::setExternalMotion(bool detected, int timeMs)
{
    if (detected) {
        externalMotionTimeMs = timeMs;
        externalMotionDetected = true;
    } else {
        externalMotionDetected = false;
    }
}

void FacialDetectionApp::setClickingActive(bool active)
{
    if (clickingActive.exchange(active) != active)
        emit ClickingActiveChanged(active);
}

void FacialDetectionApp::storeClickOptionsOfAnEnd()
{
    using namespace SettingKeys;
    setSettings({{CLICK_OPTION_DRAG_MODE_LOCKED, 0},
                 {CLICK_OPTION_DRAG_MODE, 0},
                 {CLICK_OPTION_CLICKING_ACTIVE, 1}});
}

void FacialDetectionApp::loadSounds()
{
    for (size_t i = 0; i < sounds.size(); ++i)
        sounds[i].load(kSoundFiles[i]);
}

bool FacialDetectionApp::isOn(const char *key)
{
    return getSetting(QString::fromLatin1(key)).toInt() != 0;
}

void FacialDetectionApp::ResetClickOptions_Hard()
{
    using namespace SettingKeys;
    setSettings({
        {CLICK_OPTION_LEFT_CLICK, 1},
        {CLICK_OPTION_RIGHT_CLICK, 0},
        {CLICK_OPTION_LEFT_CLICK_LOCKED, 0},
        {CLICK_OPTION_RIGHT_CLICK_LOCKED, 0},
        {CLICK_OPTION_TIMES2_MODE, 0},
        {CLICK_OPTION_DRAG_MODE, 0},
        {CLICK_OPTION_SCROLL_MODE, 0},
        {CLICK_OPTION_TIMES2_MODE_LOCKED, 0},
        {CLICK_OPTION_DRAG_MODE_LOCKED, 0},
        {CLICK_OPTION_SCROLL_MODE_LOCKED, 0},
    });
}

void FacialDetectionApp::ResetClickOptions_Softly()
{
    using namespace SettingKeys;
    bool written = false;

    const bool buttonKept =
        (isOn(CLICK_OPTION_LEFT_CLICK) && isOn(CLICK_OPTION_LEFT_CLICK_LOCKED)) ||
        (isOn(CLICK_OPTION_RIGHT_CLICK) && isOn(CLICK_OPTION_RIGHT_CLICK_LOCKED));
    if (!buttonKept) {
        setSettings({{CLICK_OPTION_RIGHT_CLICK_LOCKED, 0},
                     {CLICK_OPTION_RIGHT_CLICK, 0},
                     {CLICK_OPTION_LEFT_CLICK_LOCKED, 0},
                     {CLICK_OPTION_LEFT_CLICK, 1}});
        written = true;
    }

    const bool doubleOrDragKept =
        (isOn(CLICK_OPTION_TIMES2_MODE) && isOn(CLICK_OPTION_TIMES2_MODE_LOCKED)) ||
        (isOn(CLICK_OPTION_DRAG_MODE) && isOn(CLICK_OPTION_DRAG_MODE_LOCKED));
    if (!doubleOrDragKept) {
        setSettings({{CLICK_OPTION_DRAG_MODE_LOCKED, 0},
                     {CLICK_OPTION_DRAG_MODE, 0},
                     {CLICK_OPTION_TIMES2_MODE_LOCKED, 0},
                     {CLICK_OPTION_TIMES2_MODE, 0}});
        written = true;
    }

    const bool scrollKept = isOn(CLICK_OPTION_SCROLL_MODE) && isOn(CLICK_OPTION_SCROLL_MODE_LOCKED);
    if (!scrollKept) {
        setSettings({{CLICK_OPTION_SCROLL_MODE_LOCKED, 0}, {CLICK_OPTION_SCROLL_MODE, 0}});
        written = true;
    }

    if (written)
        emit ClickOptionsSettingsChanged();
}

void FacialDetectionApp::onStartAutomaticallyChanged(bool checked)
{
    platform::Autostart &autostart = platform::autostart();
    if (autostart.entryPath().isEmpty()) {
        showMessageBoxOnGuiThread(QMessageBox::Warning, tr("Warning: Command Failed"),
                                  tr("Could not get the Startup folder path to add Tovra Mouse "
                                     "to the Startup Apps list."));
        return;
    }
    const bool enabled = autostart.isEnabled();
    if (checked && !enabled)
        autostart.enable(QCoreApplication::applicationFilePath());
    else if (!checked && enabled)
        autostart.disable();
}

void FacialDetectionApp::onSingleClickDesktopChanged(bool checked)
{
    // Single-click opening of desktop icons belongs to the user's file manager on Linux;
    // the program has no business rewriting it. Kept as a slot for callers that connect it.
    Q_UNUSED(checked)
}
