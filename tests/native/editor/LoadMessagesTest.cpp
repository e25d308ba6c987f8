#include "editor/LoadMessages.h"

#include <gtest/gtest.h>

#include <string>

// Each reason names the file; a whole or stopped load says nothing.
TEST(LoadMessages, EachFailureNamesTheFileAndTheReason) {
    const struct {
        LoadOutcome outcome;
        std::string text;
    } cases[] = {
        {{LoadResult::CannotOpen, 0}, "Il file \"dati.txt\" non si pu\xF2 aprire."},
        {{LoadResult::LineTooLong, 3},
         "Il file \"dati.txt\" ha una riga pi\xF9 lunga dei 2 GB che una riga pu\xF2 contenere."},
        {{LoadResult::TooManyLines, 2500000000u},
         "Il file \"dati.txt\" ha pi\xF9 righe di quante il programma ne possa contenere "
         "(2.147.483.647)."},
        {{LoadResult::NotEnoughMemory, 440000000},
         "Non c'\xE8 memoria sufficiente per le 440.000.000 righe del file \"dati.txt\"."},
        {{LoadResult::NotEnoughMemory, 1},
         "Non c'\xE8 memoria sufficiente per l'unica riga del file \"dati.txt\"."},
        {{LoadResult::ReadFailed, 12}, "La lettura del file \"dati.txt\" non \xE8 riuscita."},
        {{LoadResult::Loaded, 12}, ""},
        {{LoadResult::Stopped, 12}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LoadFailureText(c.outcome, "dati.txt").View(), c.text);
    }
}
