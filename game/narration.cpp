#include "game/narration.hpp"

#include "game/boss_gate.hpp"
#include "game/equipment.hpp"
#include "game/game_state.hpp"
#include "game/item_find.hpp"
#include "platform/console.hpp"

using platform::out;
using namespace platform::literals;

// Each line goes out in one put(), which checks the buffer's room once for
// the whole line; the texts are views, whose lengths are known when compiled.

void printBanner(std::string_view title) { out.put(bannerRule, title, "\n"_phrase, bannerRule); }

template <platform::LineForm Form>
void GameNarrator<Form>::trapOrPotion(const TrapOrPotion& event) {
    out.putIn<Form>(event.message, '\n');
    out.putIn<Form>(player.name, event.label, event.value, '\n');
}

template <platform::LineForm Form>
int GameNarrator<Form>::chooseEquipmentSlot() { return ::chooseEquipmentSlot<Form>(); }

template <platform::LineForm Form>
void GameNarrator<Form>::equipped() { showEquipment(); }

template <platform::LineForm Form>
bool GameNarrator<Form>::askBossFight() { return ::askBossFight() == 0; }

template <platform::LineForm Form>
void GameNarrator<Form>::missionClear() { out.putIn<Form>("Your mission is clear!\n"_phrase); }

template struct GameNarrator<platform::LineForm::any>;
template struct GameNarrator<platform::LineForm::utf8>;
