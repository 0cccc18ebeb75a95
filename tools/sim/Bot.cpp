#include "tools/sim/Bot.h"

#include "tools/sim/BotChoice.h"

#include <algorithm>
#include <array>


TBot::TBot(TGameSetup& game, NullGameHost& host, const TBotSettings& settings)
    : Game(game), Host(host), Settings(settings)
{
}

void TBot::Reset()
{
    Step = TStep::Idle;
    Plan = TAction{};
    Timer = 0;
    StuckMs = 0;
}

void TBot::PointAt(TCell cell)
{
    Host.MouseX = static_cast<float>(cell.X - 5);
    Host.MouseY = static_cast<float>(cell.Y - 5);
    Game.MouseMove();
}

uint32_t TBot::BoardSignature() const
{
    uint32_t h = 2166136261u;
    auto mix = [&h](uint32_t v) { h = (h ^ v) * 16777619u; };
    mix(static_cast<uint32_t>(Game.CubeCount));
    for (int i = 1; i <= Game.CubeCount; ++i)
    {
        const TCube& c = Game.Cubes[i];
        mix(c.Kind);
        mix(static_cast<uint32_t>(c.X) * 16u + c.Y);
        mix(c.State == csWaiting ? 1u : 0u);
    }
    return h;
}

bool TBot::BoardChanged() const
{
    return BoardSignature() != PlannedSignature;
}

void TBot::Frame(float dt)
{
    const bool playing = Game.EndPhase == epPlaying;
    // What a player sees: nothing grows, moves or vanishes. (The game itself calls the
    // board quiet for one frame after a new turn, before it notices the growing cubes.)
    const auto& n = Game.StateCounts;
    const bool quiet = playing && Game.BoardQuiet && n[StateSlot(csGrowing)] == 0 &&
                       n[StateSlot(csMoving)] == 0 && n[StateSlot(csVanishing)] == 0;

    switch (Step)
    {
    case TStep::Idle:
        if (!quiet)
        {
            return;
        }
        if (Host.Cursor() == 3)
        {
            Step = TStep::ShotWait; // aiming left over from before
            return;
        }
        Choose();
        if (Plan.Kind == TActionKind::None)
        {
            // In the timed mode the drain ends the level or the game; in the normal mode
            // a board on which nothing can move stays so for ever.
            StuckMs += Game.Mode == gmNormal ? dt : 0;
            return;
        }
        StuckMs = 0;
        PointAt(Plan.From);
        Timer = Settings.ThinkMs;
        Step = TStep::Thinking;
        return;

    case TStep::Thinking:
        if (!quiet || BoardChanged())
        {
            Step = TStep::Idle; // something happened meanwhile: look again
            return;
        }
        Timer -= dt;
        if (Timer <= 0)
        {
            PressSource();
        }
        return;

    case TStep::Aiming:
        if (!quiet || BoardChanged())
        {
            Step = TStep::Idle;
            return;
        }
        Timer -= dt;
        if (Timer <= 0)
        {
            PressTarget();
        }
        return;

    case TStep::ShotWait:
        if (!quiet || Game.StateCounts[StateSlot(csVanishing)] > 0)
        {
            return;
        }
        StartShotAim();
        return;

    case TStep::ShotAim:
        if (!playing)
        {
            return;
        }
        Timer -= dt;
        if (Timer <= 0)
        {
            PressShot();
        }
        return;
    }
}

void TBot::PressSource()
{
    const TCell from = Plan.From;
    const int before = Game.Selected;
    const bool alreadySelected =
        before != 0 && Game.Cubes[before].X == from.X && Game.Cubes[before].Y == from.Y;
    PointAt(from);
    if (!alreadySelected)
    {
        Game.MouseDown(0);
    }
    if (Plan.Kind == TActionKind::Shot)
    {
        if (Host.Cursor() != 3)
        {
            ++Stats.Misses;
            Step = TStep::Idle;
            return;
        }
        Step = TStep::ShotWait;
        return;
    }
    const int s = Game.Selected;
    if (s == 0 || Game.Cubes[s].X != from.X || Game.Cubes[s].Y != from.Y)
    {
        ++Stats.Misses;
        Step = TStep::Idle;
        return;
    }
    PointAt(Plan.To);
    PlannedSignature = BoardSignature();
    Timer = Settings.AimMs;
    Step = TStep::Aiming;
}

void TBot::PressTarget()
{
    PointAt(Plan.To);
    const int s = Game.Selected;
    if (s == 0 || Game.PathLength == 0 || Game.Path[0].DotKind != 2)
    {
        ++Stats.Misses;
        Game.MouseDown(1); // drop the selection and look again
        Step = TStep::Idle;
        return;
    }
    Game.MouseDown(0);
    if (Game.Cubes[s].State != csMoving)
    {
        ++Stats.Misses;
        Step = TStep::Idle;
        return;
    }
    ++Stats.Moves;
    const uint8_t kind = Plan.CubeKind;
    Stats.Bombs += kind == ckBomb ? 1 : 0;
    Stats.Paints += IsPaintKind(kind) ? 1 : 0;
    Stats.Squares += Plan.ExpectSquare ? 1 : 0;
    Stats.Figures += Plan.ExpectFigure ? 1 : 0;
    Step = TStep::Idle;
}

void TBot::StartShotAim()
{
    // The commonest colour among the grown cubes; the first such cube is the mark.
    std::array<int, MaxColours + 1> count{};
    for (int i = 1; i <= Game.CubeCount; ++i)
    {
        const TCube& c = Game.Cubes[i];
        if (IsColourKind(c.Kind) && c.State != csWaiting)
        {
            ++count[c.Kind];
        }
    }
    ShotColour = 0;
    for (int k = 1; k <= MaxColours; ++k)
    {
        if (count[k] > 0 && (ShotColour == 0 || count[k] > count[ShotColour]))
        {
            ShotColour = static_cast<uint8_t>(k);
        }
    }
    if (ShotColour == 0)
    {
        Game.MouseDown(1); // nothing to shoot: put the shot cube back
        Step = TStep::Idle;
        return;
    }
    for (int i = 1; i <= Game.CubeCount; ++i)
    {
        const TCube& c = Game.Cubes[i];
        if (c.Kind == ShotColour && c.State != csWaiting)
        {
            PointAt({c.X, c.Y});
            break;
        }
    }
    Timer = Settings.AimMs;
    Step = TStep::ShotAim;
}

void TBot::PressShot()
{
    // The game shoots the colour of the first spinning coloured cube: wait for ours.
    int first = 0;
    for (int i = 1; i <= Game.CubeCount && first == 0; ++i)
    {
        if (Game.Cubes[i].State == csSpin && IsColourKind(Game.Cubes[i].Kind))
        {
            first = i;
        }
    }
    if (first == 0 || Game.Cubes[first].Kind != ShotColour)
    {
        if (Timer < -3000)
        {
            ++Stats.Misses;
            Game.MouseDown(1);
            Step = TStep::Idle;
        }
        return;
    }
    Game.MouseDown(0);
    if (Host.Cursor() == 3)
    {
        ++Stats.Misses;
        return;
    }
    ++Stats.Shots;
    ++Stats.Moves;
    Step = TStep::Idle;
}

void TBot::Choose()
{
    const TBotMove best = BestMove(Game.View());
    Plan = TAction{};
    if (best.Value > Plan.Value)
    {
        const TActionKind kind = best.CubeKind == ckShot ? TActionKind::Shot : TActionKind::Move;
        Plan = TAction{kind, best.From, best.To, best.CubeKind, best.Square, best.Completes, best.Value};
    }
    PlannedSignature = BoardSignature();
}
