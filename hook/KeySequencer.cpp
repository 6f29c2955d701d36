#include "hook/KeySequencer.h"

#include <initializer_list>

namespace tarnquil {

namespace {

bool IsModifierVk(uint16_t vk) noexcept {
    switch (vk) {
    case kVkShift: case kVkControl: case kVkMenu: case kVkLWin: case kVkRWin:
    case kVkLShift: case kVkRShift: case kVkLControl: case kVkRControl: case kVkLMenu: case kVkRMenu:
        return true;
    default:
        return false;
    }
}

// Event times are stamped when the input is generated, so an event may carry a time earlier
// than a moment we took ourselves later: compare them as signed distances.
bool Exceeds(uint32_t later, uint32_t earlier, uint32_t limit) noexcept {
    return static_cast<int32_t>(later - earlier) > static_cast<int32_t>(limit);
}

}  // namespace

uint8_t KeySequencer::HeldFamily(int type) const noexcept {
    if (m_mods & kModWin) return 0;
    const bool alt = (m_mods & kModAlt) != 0;
    const bool ctrl = (m_mods & kModCtrl) != 0;
    // Ctrl+Alt is AltGr on many layouts: those chords type characters and stay the user's.
    if (alt && ctrl) return 0;
    type = NormalizeType(type);
    if (alt && type != 1) return kModAlt;
    if (ctrl && type != 0) return kModCtrl;
    return 0;
}

void KeySequencer::UpdateModifiers(const KeyStroke& k) noexcept {
    uint8_t bits = 0;
    switch (k.vk) {
    case kVkLMenu: bits = kModLAlt; break;
    case kVkRMenu: bits = kModRAlt; break;
    case kVkLControl: bits = kModLCtrl; break;
    case kVkRControl: bits = kModRCtrl; break;
    case kVkLWin: bits = kModLWin; break;
    case kVkRWin: bits = kModRWin; break;
    // the generic codes come from injectors that do not say which side
    case kVkMenu: bits = k.up ? kModAlt : (k.extended ? kModRAlt : kModLAlt); break;
    case kVkControl: bits = k.up ? kModCtrl : (k.extended ? kModRCtrl : kModLCtrl); break;
    default: return;
    }
    if (k.up) {
        m_mods = static_cast<uint8_t>(m_mods & ~bits);
        return;
    }
    m_mods = static_cast<uint8_t>(m_mods | bits);
}

bool KeySequencer::ShouldProbe(uint32_t time) const noexcept {
    // While strokes are held back or on their way the system's key state lags behind ours on
    // purpose.
    if (m_owedCount > 0 || m_inFlight > 0) return false;
    return !m_anyEvent || Exceeds(time, m_lastEventTime, kFreshModifierMs);
}

void KeySequencer::AdoptSystemModifiers(uint8_t system, bool mayAdd) noexcept {
    static const uint8_t families[3][2] = {
        {kModAlt, kModLAlt}, {kModCtrl, kModLCtrl}, {kModWin, kModLWin}};
    for (const auto& f : families) {
        if (system & f[0]) {
            if (mayAdd && !(m_mods & f[0])) m_mods = static_cast<uint8_t>(m_mods | f[1]);
        } else {
            m_mods = static_cast<uint8_t>(m_mods & ~f[0]);
        }
    }
}

bool KeySequencer::Owe(const KeyStroke& k) noexcept {
    if (m_owedCount >= kMaxOwed) return false;
    m_owed[m_owedCount++] = k;
    return true;
}

void KeySequencer::RequestMask() noexcept {
    if (m_holdFamily != kModAlt || m_maskSent) return;
    KeyStroke mask;
    mask.vk = kVkMask;
    Owe(mask);
    mask.up = true;
    Owe(mask);
    m_maskSent = true;
}

// Under Wine a program that works through its window events late (one of the windows a layout
// just moved under the pointer) may apply a snapshot of the keyboard taken while the action key
// was still held: the key goes down again in the system's state with no key event, and the next
// letter typed would reach its program as Alt+letter. Only a short while after a sequence, and
// only while nothing of ours is on its way (the system's state then lags on purpose).
uint8_t KeySequencer::StaleModifiers(uint32_t time, ModifierProbe probe, void* probeContext) const noexcept {
    if (!probe || !m_anySequence || Exceeds(time, m_sequenceTime, kStaleModifierMs)) return 0;
    if (m_stage != Stage::Idle || m_owedCount > 0 || m_inFlight > 0) return 0;
    const uint8_t system = probe(probeContext);
    uint8_t stale = 0;
    for (uint8_t family : {kModAlt, kModCtrl})
        if ((system & family) && !(m_mods & family)) stale = static_cast<uint8_t>(stale | family);
    return stale;
}

void KeySequencer::ReleaseStale(uint8_t families) noexcept {
    KeyStroke k;
    k.up = true;
    if (families & kModAlt) {
        // the mask key first, or the release alone would open the menu bar
        k.vk = kVkMask;
        k.up = false;
        Owe(k);
        k.up = true;
        Owe(k);
        k.vk = kVkLMenu;
        k.scan = 0x38;
        Owe(k);
    }
    if (families & kModCtrl) {
        k.vk = kVkLControl;
        k.scan = 0x1D;
        Owe(k);
    }
}

void KeySequencer::CancelSequence(Cancel how) noexcept {
    if (m_stage != Stage::First) return;
    m_stage = Stage::Idle;
    // A digit belongs to our hotkeys and is simply dropped; a letter was probably meant for the
    // program (Ctrl+C, Alt+F), so it is given back, late but in order.
    if (how != Cancel::GiveBack || !IsLetter(m_first.vk)) return;
    KeyStroke k = m_first;
    k.up = false;
    Owe(k);
    if (Swallowing(k.vk)) {
        ClearSwallow(k.vk);  // still held: its own key-up will follow
    } else {
        k.up = true;
        Owe(k);
    }
    ++m_replayed;
}

Decision KeySequencer::Pass(const KeyStroke& k) noexcept {
    Decision d;
    // Strokes of ours are owed or on their way: a key let through now would overtake them.
    if ((m_owedCount > 0 || m_inFlight > 0) && Owe(k)) d.eat = true;
    return d;
}

Decision KeySequencer::Eat(uint16_t vk) noexcept {
    SetSwallow(vk);
    Decision d;
    d.eat = true;
    return d;
}

void KeySequencer::FlagInject(Decision& d) noexcept {
    if (m_owedCount > 0 && !m_injectRequested) {
        m_injectRequested = true;
        d.inject = true;
    }
}

Decision KeySequencer::OnKey(const KeyEvent& e, int executeType, ModifierProbe probeFn,
                             void* probeContext) noexcept {
    const KeyStroke& k = e.key;
    const uint16_t vk = k.vk;
    Decision d;
    if (e.own) {
        // Every stroke of ours replays one already counted when it first arrived (or is the
        // mask key): it must not touch the modifier state a second time.
        if (m_inFlight > 0) --m_inFlight;
        return d;
    }
    if (m_inFlight > 0 && Exceeds(e.time, m_injectTime, kInFlightTimeoutMs)) m_inFlight = 0;  // lost
    const bool probe = probeFn && ShouldProbe(e.time);
    m_lastEventTime = e.time;
    m_anyEvent = true;

    if (IsModifierVk(vk)) {
        const uint8_t before = m_mods;
        UpdateModifiers(k);
        if (!(before & kModAlt) && (m_mods & kModAlt)) m_maskSent = false;  // a new Alt hold
        if (m_stage == Stage::First &&
            (!(m_mods & m_holdFamily) || Exceeds(e.time, m_firstTime, kSequenceTimeoutMs))) {
            if (m_mods & m_holdFamily) ++m_timedOut;
            CancelSequence(Cancel::GiveBack);
        }
        d = Pass(k);
    } else if (k.up) {
        if (Swallowing(vk)) {
            ClearSwallow(vk);
            d.eat = true;
        } else {
            d = Pass(k);
        }
    } else if (Swallowing(vk) && vk == m_lastDownVk) {
        d.eat = true;  // auto-repeat of a consumed key
    } else {
        ClearSwallow(vk);  // a set bit here means its key-up never reached us
        m_lastDownVk = vk;
        if (const uint8_t stale = StaleModifiers(e.time, probeFn, probeContext)) {
            ReleaseStale(stale);
            d.eat = Owe(k);  // behind the release, so that it arrives as the plain key it is
            FlagInject(d);
            return d;
        }
        if (m_stage == Stage::First && Exceeds(e.time, m_firstTime, kSequenceTimeoutMs)) {
            ++m_timedOut;
            CancelSequence(Cancel::GiveBack);
        }
        bool done = false;
        if (m_stage == Stage::First) {
            if (HeldFamily(executeType) == m_holdFamily) {
                if (IsDigit(vk)) {
                    m_stage = Stage::Idle;
                    d = Eat(vk);
                    d.notice = Notice{2, static_cast<uint8_t>(m_first.vk), static_cast<uint8_t>(vk),
                                      m_action};
                    RequestMask();
                    done = true;
                } else if (vk == kVkEscape) {
                    CancelSequence(Cancel::Silent);  // a way out that types nothing
                    d = Eat(vk);
                    done = true;
                }
            }
            if (!done) CancelSequence(Cancel::GiveBack);
        }
        if (!done && (IsDigit(vk) || IsLetter(vk))) {
            uint8_t family = HeldFamily(executeType);
            if (family && probe) {
                AdoptSystemModifiers(probeFn(probeContext), false);
                family = HeldFamily(executeType);
            }
            if (family) {
                m_stage = Stage::First;
                m_first = k;
                m_firstTime = e.time;
                m_holdFamily = family;
                m_action = family == kModAlt ? kActionAlt : kActionCtrl;
                d = Eat(vk);
                d.notice = Notice{1, static_cast<uint8_t>(vk), 0, m_action};
                RequestMask();
                done = true;
            }
        }
        if (!done) d = Pass(k);
    }
    if (d.notice.kind) {
        m_anySequence = true;
        m_sequenceTime = e.time;
    }
    FlagInject(d);
    return d;
}

int KeySequencer::TakeInjection(KeyStroke* out, int max, uint32_t now) noexcept {
    int n = m_owedCount < max ? m_owedCount : max;
    if (n < 0) n = 0;
    for (int i = 0; i < n; ++i) out[i] = m_owed[i];
    for (int i = n; i < m_owedCount; ++i) m_owed[i - n] = m_owed[i];
    m_owedCount -= n;
    m_injectRequested = false;
    if (n > 0) {
        m_inFlight += n;
        m_injectTime = now;
    }
    return n;
}

void KeySequencer::InjectionFailed(int count) noexcept {
    m_inFlight = count >= m_inFlight ? 0 : m_inFlight - count;
}

void KeySequencer::Rearm(uint8_t systemModifiers, uint32_t now, bool missedInput) noexcept {
    if (missedInput && m_owedCount == 0 && m_inFlight == 0)
        AdoptSystemModifiers(systemModifiers, true);
    else if (ShouldProbe(now))
        AdoptSystemModifiers(systemModifiers, false);
    if (m_stage == Stage::First &&
        (!(m_mods & m_holdFamily) || Exceeds(now, m_firstTime, kSequenceTimeoutMs))) {
        if (m_mods & m_holdFamily) ++m_timedOut;
        CancelSequence(Cancel::GiveBack);
    }
    if (m_inFlight > 0 && Exceeds(now, m_injectTime, kInFlightTimeoutMs)) m_inFlight = 0;
}

}  // namespace tarnquil
