#include "game/boss_gate.hpp"

#include <string>

#include "platform/console.hpp"

int askBossFight() {
    platform::out << "BOSSと戦いますか？(YES/NO) " << "\n";
    std::string answer;
    for (;;) {
        // At the end of input the answer reads as an empty line: a fight.
        if (!platform::readLine(answer)) return 0;
        if (answer == "YES") return 0;
        if (answer == "NO") return 1;
        if (answer != "ESC") return 0;
    }
}
