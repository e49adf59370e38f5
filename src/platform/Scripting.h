#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantorel {

// What running one script hands back, as the platform's script runner would: the script may not
// compile from its source; its execution may report an error, whose dictionary's message entry
// may be missing or not a string; a result may have no string value. The caller makes sense of
// it.
struct ScriptOutcome {
    // The error dictionary of a failed execution.
    struct Error {
        // The message entry, when it is a string.
        std::optional<std::string> message;
        // The whole dictionary as text.
        std::string description;
    };

    // False when no script could be made from the source; nothing ran.
    bool created = true;
    std::optional<Error> error;
    // The result's string value, when it has one.
    std::optional<std::string> reply;

    // A failed execution, its dictionary written as the platform writes it.
    static ScriptOutcome failure(std::optional<std::string> message, int number) {
        std::string description = "{NSAppleScriptErrorNumber = " + std::to_string(number) + ";";
        if (message) description += " NSAppleScriptErrorMessage = \"" + *message + "\";";
        description += "}";
        ScriptOutcome outcome;
        outcome.error = Error{std::move(message), std::move(description)};
        return outcome;
    }
    static ScriptOutcome answer(std::string text) {
        ScriptOutcome outcome;
        outcome.reply = std::move(text);
        return outcome;
    }
};

// Port: the platform's script runner, which sends a script source text to the application it
// names and waits for the answer. Synchronous, main thread.
class Scripting {
public:
    virtual ~Scripting() = default;
    virtual ScriptOutcome run(std::string_view source) = 0;
};

}  // namespace vantorel
