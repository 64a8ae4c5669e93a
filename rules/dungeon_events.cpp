#include "rules/dungeon_events.hpp"

#include <iterator>

#include "rules/saturating.hpp"
#include "rules/totals.hpp"

namespace {

using namespace platform::literals;

enum class Target { hitPoints, attack, defence, speed };

// A trap takes away, a potion gives.
enum class Kind { trap, potion };

// What a share is a share of: the value that the event changes, or maxHp.
enum class ShareOf { changedValue, maxHp };

struct Amount {
    std::int32_t points;   // a fixed amount, when divisor is 0
    std::int32_t divisor;  // otherwise the share base / divisor
    ShareOf base;
};

constexpr Amount points(std::int32_t n) { return {n, 0, ShareOf::changedValue}; }
constexpr Amount share(std::int32_t divisor) { return {0, divisor, ShareOf::changedValue}; }
constexpr Amount shareOfMaxHp(std::int32_t divisor) { return {0, divisor, ShareOf::maxHp}; }

struct EventRow {
    platform::Phrase message;
    Kind kind;
    Target target;
    Amount amount;
};

// Rolls 1 to 20. The messages of rolls 2 to 5 end with a blank; that of roll 1 does not.
constexpr EventRow trapsAndPotions[] = {
    {"トラップが発動した。100のダメージ"_phrase, Kind::trap, Target::hitPoints, points(100)},
    {"トラップが発動した。150のダメージ "_phrase, Kind::trap, Target::hitPoints, points(150)},
    {"トラップが発動した。200のダメージ "_phrase, Kind::trap, Target::hitPoints, points(200)},
    {"トラップが発動した。ヒットポイント10%のダメージ "_phrase, Kind::trap, Target::hitPoints, share(10)},
    {"トラップが発動した。ヒットポイント50%のダメージ "_phrase, Kind::trap, Target::hitPoints, share(2)},
    {"トラップが発動した。攻撃力が10減少した。"_phrase, Kind::trap, Target::attack, points(10)},
    {"トラップが発動した。攻撃力が10%減少した。"_phrase, Kind::trap, Target::attack, share(10)},
    {"トラップが発動した。防御力が10下がった。"_phrase, Kind::trap, Target::defence, points(10)},
    {"トラップが発動した。防御力が10%下がった。"_phrase, Kind::trap, Target::defence, share(10)},
    {"トラップが発動した。スピードが10下がった。"_phrase, Kind::trap, Target::speed, points(10)},
    {"トラップが発動した。スピードが10%下がった。"_phrase, Kind::trap, Target::speed, share(10)},
    {"回復薬を手に入れた。HPが100回復した。"_phrase, Kind::potion, Target::hitPoints, points(100)},
    {"回復薬を手に入れた。HPが10%回復した。"_phrase, Kind::potion, Target::hitPoints, shareOfMaxHp(10)},
    {"回復薬を手に入れた。HPが20%回復した。"_phrase, Kind::potion, Target::hitPoints, shareOfMaxHp(5)},
    {"攻撃力上がる薬があったので飲んでみた。最大APが5上がった。"_phrase, Kind::potion, Target::attack,
     points(5)},
    {"攻撃力上がる薬があったので飲んでみた。最大APが5%上がった。"_phrase, Kind::potion, Target::attack,
     share(20)},
    {"防御力が上がる薬があったので飲んでみた。最大DPが5上がった。"_phrase, Kind::potion, Target::defence,
     points(5)},
    {"防御力が上がる薬があったので飲んでみた。最大DPが5%上がった。"_phrase, Kind::potion,
     Target::defence, share(20)},
    {"速度が上がる薬があったので飲んでみた。最大SPが5上がった。"_phrase, Kind::potion, Target::speed,
     points(5)},
    {"速度が上がる薬があったので飲んでみた。最大SPが5%上がった。"_phrase, Kind::potion, Target::speed,
     share(20)},
};

static_assert(std::size(trapsAndPotions) == lastTrapOrPotionRoll);
// amountFor divides in 32 bits, which is exact only for divisors above 0.
static_assert([] {
    for (const EventRow& row : trapsAndPotions) {
        if (row.amount.divisor < 0) return false;
    }
    return true;
}());

// The value that an event changes and, for AP, DP and SP, the current value
// that follows it (hit-point events change only hp, never maxHp).
struct EventFields {
    std::int32_t* changed;
    std::int32_t* follower;
    platform::Phrase label;
};

EventFields fieldsOf(PlayerRecord& player, Target target) {
    switch (target) {
        case Target::attack: return {&player.maxAp, &player.ap, "のAP:"_phrase};
        case Target::defence: return {&player.maxDp, &player.dp, "のDP:"_phrase};
        case Target::speed: return {&player.maxSp, &player.sp, "のSP:"_phrase};
        case Target::hitPoints: break;
    }
    return {&player.hp, nullptr, "のHP:"_phrase};
}

std::int64_t amountFor(const PlayerRecord& player, const Amount& amount, std::int32_t changedValue) {
    if (amount.divisor == 0) return amount.points;
    std::int32_t base = amount.base == ShareOf::maxHp ? player.maxHp : changedValue;
    // Truncates toward zero. Both are 32-bit values and the divisor is above
    // 0, so the division in 32 bits is exact, and quicker than in 64.
    return base / amount.divisor;
}

// A trap never leaves a value below 1; a hit-point potion never heals beyond maxHp.
std::int32_t clamped(const PlayerRecord& player, const EventRow& event, std::int32_t value) {
    if (event.kind == Kind::trap && value <= 0) return 1;
    if (event.kind == Kind::potion && event.target == Target::hitPoints && value >= player.maxHp)
        return player.maxHp;
    return value;
}

}  // namespace

TrapOrPotion springTrapOrPotion(int roll, PlayerRecord& player,
                                const EquipmentItem (&equipment)[equipmentCount]) {
    const EventRow& event = trapsAndPotions[roll - 1];
    EventFields fields = fieldsOf(player, event.target);
    std::int64_t before = *fields.changed;
    std::int64_t change = amountFor(player, event.amount, *fields.changed);
    std::int64_t exact = event.kind == Kind::trap ? before - change : before + change;
    std::int32_t after = clamped(player, event, saturate(exact));
    *fields.changed = after;
    if (fields.follower != nullptr) {
        *fields.follower = after;
        recomputeTotals(player, equipment);
    }
    return TrapOrPotion{event.message, fields.label, after};
}
