#include "editor/LoadMessages.h"

#include "runtime/NumberText.h"
#include "runtime/StringFunctions.h"

namespace {

DynString Quoted(const DynString& name) noexcept {
    return Concat(Concat("\"", name), "\"");
}

// Thousands separated by dots, as Italian writes them.
DynString Count(std::uint64_t count) noexcept {
    return ReplaceAll(",", ".", FormatNumber(static_cast<double>(count), "#,##0"));
}

} // namespace

// The texts are in the ANSI code page: \xE8 is e grave, \xF2 o grave, \xF9 u grave.
DynString LoadFailureText(const LoadOutcome& outcome, const DynString& name) noexcept {
    const DynString file = Concat("Il file ", Quoted(name));
    switch (outcome.result) {
    case LoadResult::CannotOpen:
        return Concat(file, " non si pu\xF2 aprire.");
    case LoadResult::LineTooLong:
        return Concat(file, " ha una riga pi\xF9 lunga dei 2 GB che una riga pu\xF2 contenere.");
    case LoadResult::TooManyLines:
        return Concat(file, " ha pi\xF9 righe di quante il programma ne possa contenere "
                            "(2.147.483.647).");
    case LoadResult::NotEnoughMemory: {
        const DynString lines = outcome.lineCount == 1
                                    ? DynString("l'unica riga")
                                    : Concat(Concat("le ", Count(outcome.lineCount)), " righe");
        return Concat(Concat(Concat("Non c'\xE8 memoria sufficiente per ", lines), " del file "),
                      Concat(Quoted(name), "."));
    }
    case LoadResult::ReadFailed:
        return Concat(Concat("La lettura del file ", Quoted(name)), " non \xE8 riuscita.");
    case LoadResult::Loaded:
    case LoadResult::Stopped:
        break;
    }
    return {};
}
