// The decision logic of the keyboard hook: which keys form an action-key sequence, which of
// them are taken away from the foreground program, and what must be injected afterwards to keep
// the program's view of the keyboard consistent. No Windows header: the hook procedure feeds it
// plain events and applies its decisions, and the tests drive it directly.
#pragma once

#include <cstdint>

namespace tarnquil {

// Virtual-key codes the logic cares about (values fixed by the platform).
enum : uint16_t {
    kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12, kVkEscape = 0x1B,
    kVkLWin = 0x5B, kVkRWin = 0x5C,
    kVkLShift = 0xA0, kVkRShift = 0xA1, kVkLControl = 0xA2, kVkRControl = 0xA3,
    kVkLMenu = 0xA4, kVkRMenu = 0xA5,
    // unassigned: a key-down of it between Alt-down and Alt-up keeps the menu bar closed
    kVkMask = 0xE8,
};

// Action-key codes as they travel in the third payload byte.
enum : uint8_t { kActionAlt = '1', kActionCtrl = '2' };

// Modifier bits tracked from the key stream.
enum : uint8_t {
    kModLAlt = 1, kModRAlt = 2, kModLCtrl = 4, kModRCtrl = 8, kModLWin = 16, kModRWin = 32,
    kModAlt = kModLAlt | kModRAlt, kModCtrl = kModLCtrl | kModRCtrl, kModWin = kModLWin | kModRWin,
};

struct KeyStroke {
    uint16_t vk = 0;
    uint16_t scan = 0;
    bool up = false;
    bool extended = false;
};

struct KeyEvent {
    KeyStroke key;
    uint32_t time = 0;   // milliseconds, wrapping tick count
    bool own = false;    // injected by this sequencer's owner
};

// What the receiving window is told: kind 1 after a first key, 2 after a complete sequence.
struct Notice {
    uint8_t kind = 0;    // 0 = nothing to tell
    uint8_t first = 0;
    uint8_t second = 0;
    uint8_t action = 0;
};

struct Decision {
    bool eat = false;     // keep the key from every other program
    bool inject = false;  // strokes are owed: the owner should call TakeInjection soon
    Notice notice;
};

// Reports the system's own idea of which modifiers are down (kMod* family bits); used to catch
// key-ups that never reached the hook (secure desktop, a hook dropped for a while).
using ModifierProbe = uint8_t (*)(void* context);

class KeySequencer {
public:
    static constexpr uint32_t kSequenceTimeoutMs = 2000;
    static constexpr uint32_t kInFlightTimeoutMs = 1000;
    // The system's idea of the modifiers is asked for only after a gap this long in the key stream:
    // a key-up lost behind the secure desktop or a dropped hook leaves such a gap, while a user
    // holding the action key through a burst of sequences does not (and the system's key state may
    // lag or have been reset meanwhile).
    static constexpr uint32_t kFreshModifierMs = 1000;
    static constexpr int kMaxOwed = 32;
    // How long after a sequence a plain key checks that the system has not put the action key
    // back down behind our back (see StaleModifiers).
    static constexpr uint32_t kStaleModifierMs = 10000;

    KeySequencer() = default;

    // executeType: 0 Alt, 1 Ctrl, 2 either (anything else counts as 0).
    Decision OnKey(const KeyEvent& e, int executeType, ModifierProbe probe, void* probeContext) noexcept;

    // Moves the owed strokes, in order, to out; the caller injects them marked as its own.
    int TakeInjection(KeyStroke* out, int max, uint32_t now) noexcept;
    // Strokes handed out by TakeInjection that the system refused.
    void InjectionFailed(int count) noexcept;

    // Re-reads the modifiers from the system (after a gap in the key stream, as above, or at once
    // when the hook is known to have missed input) and forgets a sequence that has timed out; a
    // fresh half sequence is kept, since the user may already be typing the next one.
    void Rearm(uint8_t systemModifiers, uint32_t now, bool missedInput = false) noexcept;

    bool InSequence() const noexcept { return m_stage == Stage::First; }
    uint8_t Modifiers() const noexcept { return m_mods; }
    int OwedCount() const noexcept { return m_owedCount; }
    uint32_t TimedOut() const noexcept { return m_timedOut; }
    uint32_t Replayed() const noexcept { return m_replayed; }

    static bool IsDigit(uint16_t vk) noexcept { return vk >= '0' && vk <= '9'; }
    static bool IsLetter(uint16_t vk) noexcept { return vk >= 'A' && vk <= 'Z'; }
    static int NormalizeType(int type) noexcept { return type == 1 || type == 2 ? type : 0; }

private:
    enum class Stage : uint8_t { Idle, First };
    enum class Cancel : uint8_t { Silent, GiveBack };

    uint8_t HeldFamily(int type) const noexcept;
    void UpdateModifiers(const KeyStroke& k) noexcept;
    bool ShouldProbe(uint32_t time) const noexcept;
    // The system's key state may release a modifier we hold; it adds one only when the hook is
    // known to have missed input (its key state can lag behind or keep a key that went up).
    void AdoptSystemModifiers(uint8_t system, bool mayAdd) noexcept;
    // Action-key families the system reports down although the hook saw them go up.
    uint8_t StaleModifiers(uint32_t time, ModifierProbe probe, void* probeContext) const noexcept;
    void ReleaseStale(uint8_t families) noexcept;
    void CancelSequence(Cancel how) noexcept;
    void RequestMask() noexcept;
    bool Owe(const KeyStroke& k) noexcept;
    Decision Pass(const KeyStroke& k) noexcept;
    Decision Eat(uint16_t vk) noexcept;
    void FlagInject(Decision& d) noexcept;

    bool Swallowing(uint16_t vk) const noexcept { return (m_swallowUp[(vk >> 5) & 7] >> (vk & 31)) & 1u; }
    void SetSwallow(uint16_t vk) noexcept { m_swallowUp[(vk >> 5) & 7] |= 1u << (vk & 31); }
    void ClearSwallow(uint16_t vk) noexcept { m_swallowUp[(vk >> 5) & 7] &= ~(1u << (vk & 31)); }

    Stage m_stage = Stage::Idle;
    uint8_t m_mods = 0;
    bool m_anyEvent = false;       // m_lastEventTime is set
    uint32_t m_lastEventTime = 0;  // of the latest key event not our own, before the current one
    uint8_t m_holdFamily = 0;      // kModAlt or kModCtrl while a sequence is open
    uint8_t m_action = 0;
    KeyStroke m_first;
    uint32_t m_firstTime = 0;
    bool m_maskSent = false;       // the mask key was owed during the current Alt hold
    bool m_anySequence = false;    // m_sequenceTime is set
    uint32_t m_sequenceTime = 0;   // of the latest key of a sequence
    uint16_t m_lastDownVk = 0;
    uint32_t m_swallowUp[8] = {};  // consumed keys whose key-up must be eaten too

    KeyStroke m_owed[kMaxOwed];
    int m_owedCount = 0;
    bool m_injectRequested = false;
    int m_inFlight = 0;            // injected strokes not yet seen coming back
    uint32_t m_injectTime = 0;

    uint32_t m_timedOut = 0;
    uint32_t m_replayed = 0;
};

}  // namespace tarnquil
