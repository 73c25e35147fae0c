#pragma once
// Waiting in tests for the answer of one of the player's requests, which come back through a
// callback once the bus has answered.
#include "platform/media/MusicPlayer.h"
#include "support/WaitFor.h"

#include <memory>

namespace velk::test {

// `request(done)` makes the request; the answer, or a failure when none came in the wait limit.
template <class Request>
ScriptReply answerOf(Request request)
{
    // Shared, so that an answer coming after the limit writes nowhere it should not.
    auto answer = std::make_shared<std::optional<ScriptReply>>();
    request([answer](const ScriptReply& reply) { *answer = reply; });
    if (!waitFor([&] { return answer->has_value(); })) return ScriptReply::failure(QStringLiteral("no answer in time"));
    return **answer;
}

inline ScriptReply statusOf(MusicPlayer& player)
{
    return answerOf([&](MusicPlayer::ReplyHandler done) { player.requestStatus(std::move(done)); });
}

inline ScriptReply positionOf(MusicPlayer& player)
{
    return answerOf([&](MusicPlayer::ReplyHandler done) { player.requestPosition(std::move(done)); });
}

inline ScriptReply commandOf(MusicPlayer& player, const QString& verb)
{
    return answerOf([&](MusicPlayer::ReplyHandler done) { player.requestCommand(verb, std::move(done)); });
}

// The followed player's bus name, or nothing.
inline std::optional<QString> followedOf(MusicPlayer& player)
{
    auto answer = std::make_shared<std::optional<std::optional<QString>>>();
    player.requestFollowedPlayer([answer](const std::optional<QString>& name) { *answer = name; });
    waitFor([&] { return answer->has_value(); });
    return answer->value_or(std::nullopt);
}

} // namespace velk::test
