#pragma once

#include <QKeySequence>
#include <QMetaType>
#include <QObject>

class QHotkeyPrivate;

// One system-wide key combination: emits activated when it is pressed, whichever program has
// the focus, and released when its key goes up. All hotkeys share one registry.
class QHotkey : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool registered READ isRegistered WRITE setRegistered NOTIFY registeredChanged)
    Q_PROPERTY(QKeySequence shortcut READ shortcut WRITE setShortcut RESET resetShortcut)

public:
    // The platform's form of a combination: a key code and modifier flags.
    struct NativeShortcut
    {
        NativeShortcut() = default;
        NativeShortcut(quint32 key, quint32 modifier)
            : key(key)
            , modifier(modifier)
            , valid(true)
        {}

        bool operator==(const NativeShortcut &other) const
        {
            return key == other.key && modifier == other.modifier && valid == other.valid;
        }
        bool operator!=(const NativeShortcut &other) const { return !(*this == other); }

        quint32 key = 0;
        quint32 modifier = 0;
        bool valid = false;
    };

    explicit QHotkey(const QKeySequence &shortcut = QKeySequence(), bool autoRegister = false,
                     QObject *parent = nullptr);
    ~QHotkey() override;

    bool isRegistered() const { return registered; }
    QKeySequence shortcut() const;

signals:
    void activated();
    void released();
    void registeredChanged(bool registered);

public slots:
    bool setRegistered(bool registered);
    bool setShortcut(const QKeySequence &shortcut, bool autoRegister = false);
    bool setShortcut(Qt::Key keyCode, Qt::KeyboardModifiers modifiers, bool autoRegister = false);
    bool resetShortcut();
    bool setNativeShortcut(QHotkey::NativeShortcut nativeShortcut, bool autoRegister = false);

private:
    friend class QHotkeyPrivate;

    void clear();

    Qt::Key keyCode = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers;
    NativeShortcut nativeShortcut;
    bool registered = false;
};

inline uint qHash(const QHotkey::NativeShortcut &shortcut, uint seed = 0)
{
    return (shortcut.key ^ shortcut.modifier) ^ seed;
}

Q_DECLARE_METATYPE(QHotkey::NativeShortcut)
