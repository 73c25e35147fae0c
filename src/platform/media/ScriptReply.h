#pragma once
// The answer of one request to another program (the player, the mailbox): its text, or why
// there is none.
#include <QString>
#include <optional>

namespace velk {

struct ScriptReply {
    std::optional<QString> text;
    QString error; // a short reason when text is empty

    bool ok() const { return text.has_value(); }
    static ScriptReply success(QString t) { return {std::move(t), {}}; }
    static ScriptReply failure(QString reason) { return {std::nullopt, std::move(reason)}; }
};

} // namespace velk
