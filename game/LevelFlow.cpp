// The per-frame update and the flow from level to level: starting a game, setting up
// each level, noticing when a level is won or the game lost, and the timed level-end
// phases with their sounds, labels, progress bar and camera flights.
#include "game/Game.h"
#include "game/RuleHelpers.h"

namespace
{
constexpr double PhaseEnd = 3000;     // level-done phase, in PhaseTime units
constexpr double GameOverEnd = 6000;  // game-over phase
constexpr double DrainAfter = 60000;  // ms on one level before the drain first grows
constexpr double DrainEvery = 15000;  // then it grows again every 15 s
// An idle cube starts a quarter-turn with this chance in each 60th of a second.
constexpr double IdleTurnChance = 1.0 / 2000;
constexpr double IdleTurnPeriod = 1000.0 / 60;

// Whether a bonus level still has a bomb the player can use: one on its way or going
// off, or one at rest with a neighbouring cell to move to. A bomb walled in by stones
// and the board's edge can never be moved, and a level waiting for it would never end.
bool BombInPlay(const TGameFields& g)
{
    static constexpr int Dx[4] = {1, -1, 0, 0};
    static constexpr int Dy[4] = {0, 0, 1, -1};
    for (int i = 1; i <= g.CubeCount; ++i)
    {
        const TCube& c = g.Cubes[i];
        if (c.Kind != ckBomb)
        {
            continue;
        }
        const bool atRest = c.State == csIdle || c.State == csSpin || c.State == csTurn ||
                            c.State == csSelected;
        if (!atRest)
        {
            return true;
        }
        for (int k = 0; k < 4; ++k)
        {
            const int x = c.X + Dx[k];
            const int y = c.Y + Dy[k];
            if (rules::OnBoard(x, y) && g.Cells[x][y].Occupancy != coOccupied)
            {
                return true;
            }
        }
    }
    return false;
}
} // namespace

void TGame::Start(uint8_t mode)
{
    Mode = mode;
    Level = 1;
    ClearBoard();
    Levels[1].Progress = 0;
    Display.Fraction = 0;
    Display.StartFraction = 0;
    NewGame();
    EndPhase = epPlaying;
    PausedPhase = epPlaying;
    SaveRequest = srNone;
}

void TGame::Pause()
{
    if (EndPhase != epPaused)
    {
        PausedPhase = EndPhase;
    }
    EndPhase = epPaused;
}

void TGame::Resume()
{
    if (EndPhase == epPaused)
    {
        EndPhase = PausedPhase;
    }
    PausedPhase = epPlaying;
}

void TGame::NewGame()
{
    NewDeal();
    ClearBoard();
    Score = 0;
    PendingScore = 0;
    Level = 0;
    Host.SetCursor(2);
    NextLevel();
}

// The game's own deal is drawn from the shared generator, so one seed still replays a
// whole game.
void TGame::NewDeal()
{
    Rng.Random(1);
    Deal = TRandom(Rng.Seed * 2654435761u ^ 0x9E3779B9u);
}

void TGame::NextLevel()
{
    UndoReady = false;
    ++Level;
    if (Level > MaxLevels)
    {
        // After the last level play goes on at the first level of the other mode.
        Level = 1;
        Mode = Mode == gmTimed ? gmNormal : gmTimed;
        Host.PlayMusic(Mode == gmNormal ? tnTheme1 : tnTheme2);
    }
    TLevel& l = CurrentLevel();
    const bool bonus = l.LevelKind == lkBonus;
    const int m = rules::ModeIndex(Mode);

    l.Progress = 0;
    PendingScore = 0;
    if (Mode == gmTimed)
    {
        l.Progress = bonus ? l.Target[m] : l.Target[m] / 2;
    }
    Display.LampCount = l.Darkness <= 5 ? 5 - l.Darkness : 5;
    NewFigure(false);

    if (bonus)
    {
        ClearBoard();
        Host.PlaySound(snBonusLevel);
    }
    else
    {
        Host.PlaySound(snNewLevel);
    }
    PathLength = 0;

    if (Level == 1)
    {
        // The first announced cubes; the first update grows them.
        for (int k = 0; k < l.NewCubes[m]; ++k)
        {
            AddCube();
        }
    }
    if (bonus)
    {
        // A field of stones (AddCube makes nothing else on a bonus level) and the bombs
        // to blast them with.
        for (int k = 0; k < l.NewCubes[m]; ++k)
        {
            AddCube();
        }
        for (int k = 0; k < l.Stones[m]; ++k)
        {
            AddSpecialCube(ckBomb);
        }
        GrowWaitingCubes();
    }
    if (Level != 1)
    {
        Particles.EmitParticle(5, 6, {0, -3, 1}, {0, 50, 0}, 256);
        Particles.SetParticleImage(5, spNewLevel, 4.45f, 0.85f);
    }
    LevelTime = 0;
    BoardQuiet = false;
}

void TGame::SyncDisplay()
{
    if (EndPhase != epPlaying)
    {
        return;
    }
    const TLevel& l = CurrentLevel();
    const double target = l.Target[rules::ModeIndex(Mode)];
    // A level without a target (no game started yet) shows an empty bar.
    Display.Fraction = target > 0 ? l.Progress / target : 0;
    Display.StartFraction = Display.Fraction;
}

void TGame::CompleteLevel()
{
    BankScore(true, 0);
    EndPhase = epLevelDone;
    PhaseTime = 0;
    if (CurrentLevel().LevelKind == lkBonus)
    {
        ClearBoard();
    }
}

// One frame of the rules, in this order: the frame's start, the cubes, the labels and
// particles, squares, the timed drain, the score, the level's end, the turn's end, the
// vanishing cubes' bursts, owed special cubes, and the end phase.
void TGame::Update(float dt)
{
    StartFrame(dt);
    AnimateCubes(dt);
    AnimateEffects(dt);
    LookForSquares();
    DrainProgress(dt);
    BankScore(false, dt);
    CheckLevelEnd();
    EndTurnAfterMiss();
    BurstVanishingCubes();
    AddOwedSpecials();
    PrevStateCounts = StateCounts;
    UpdateEndPhase(dt);
    WarnOfTimeUp(dt);
    // The board at rest again while playing (nothing grows, moves or vanishes): a move, or
    // the start of a level or of a resumed game, has ended, and the game is due for its
    // save file.
    const bool atRest = StateCounts[StateSlot(csGrowing)] == 0 &&
                        StateCounts[StateSlot(csMoving)] == 0 &&
                        StateCounts[StateSlot(csVanishing)] == 0;
    if (atRest && !WasAtRest && EndPhase == epPlaying)
    {
        SaveRequest = srWrite;
    }
    WasAtRest = atRest;
}

void TGame::StartFrame(float dt)
{
    SyncDisplay();

    // In the timed mode a drained level ends the game.
    CheckGameOver(false);

    // A board without ordinary cubes gets a new turn at once (this also grows the first
    // cubes of a new game).
    if (CurrentLevel().LevelKind != lkBonus && !HasOrdinaryCubes())
    {
        NewTurn();
    }

    if (EndPhase != epPaused)
    {
        PhaseTime += 0.5 * dt; // a level's end waits out a pause
    }
    LevelTime += dt;
}

// Every cube's animation; idle cubes turn now and then, and spin under the cursor.
void TGame::AnimateCubes(float dt)
{
    // The idle turns keep their rate per unit of time whatever the length of the update
    // (a frame, or a long rest of the board without frames): each idle cube draws once,
    // and a draw in the window [c, c + chance) starts a turn; at 60 updates a second the
    // window is [1/2000, 2/2000), the turn of one draw in 2000 per frame.
    const double turnChance =
        1 - std::pow(1 - IdleTurnChance, std::max(0.0f, dt) / IdleTurnPeriod);
    for (int i = 1; i <= CubeCount; ++i)
    {
        switch (Cubes[i].State)
        {
        case csWaiting:
            break;
        case csGrowing:
            Grow(i, dt);
            break;
        case csIdle:
            if (const double u = Rng.RandomFloat() - IdleTurnChance; u >= 0 && u < turnChance)
            {
                StartTurn(i);
            }
            break;
        case csSpin:
            SpinCube(i, dt);
            break;
        case csSelected:
            Hover(i, dt);
            break;
        case csTurn:
            // A cube turning under the cursor hurries to finish its turn.
            Turn(i, CursorOnCube(i) ? dt * 10 : dt);
            break;
        case csMoving:
            UpdateMoving(i, dt);
            break;
        case csVanishing:
            Vanish(i, dt);
            break;
        default:
            RemoveCube(i);
            break;
        }
        // After a removal slot i holds the next cube (or nothing, after the last one).
        if (i > CubeCount)
        {
            break;
        }
        if (Cubes[i].State == csIdle && EndPhase == epPlaying && CursorOnCube(i))
        {
            StartSpin(i);
        }
        if (Cubes[i].Kind == ckBomb)
        {
            EmitFuseSparks(i);
        }
    }
}

void TGame::AnimateEffects(float dt)
{
    Labels.UpdateLabels(dt);
    for (int s = 0; s < ParticleSystemCount; ++s)
    {
        Particles.UpdateParticles(s, dt);
    }
}

void TGame::LookForSquares()
{
    BoardQuiet = StateCounts[StateSlot(csGrowing)] == 0 && StateCounts[StateSlot(csMoving)] == 0 &&
                 StateCounts[StateSlot(csVanishing)] == 0;

    // New cubes have finished growing or a move has ended: look for squares.
    if (JustEnded(csGrowing) || JustEnded(csMoving))
    {
        CheckSquares();
    }
}

// The timed mode drains the progress, faster after the first minute.
void TGame::DrainProgress(float dt)
{
    TLevel& l = CurrentLevel();
    if (Mode == gmTimed && EndPhase == epPlaying)
    {
        l.Progress -= l.Drain * dt;
        if (LevelTime >= DrainAfter)
        {
            l.Drain *= 1.1;
            LevelTime = DrainAfter - DrainEvery;
        }
    }
}

// The end of the level: a bonus level ends when bombs or stones run out or the last
// bombs are walled in (or, timed, when the progress is drained), any other when the
// progress reaches the target.
void TGame::CheckLevelEnd()
{
    TLevel& l = CurrentLevel();
    if (EndPhase == epPlaying)
    {
        if (l.LevelKind == lkBonus)
        {
            const bool goesOn = BombInPlay(*this) && CountKind(ckStone) > 0 &&
                                (Mode != gmTimed || l.Progress > 0);
            if (!goesOn)
            {
                EndBonusLevel();
            }
        }
        else if (l.Progress >= l.Target[rules::ModeIndex(Mode)])
        {
            CompleteLevel();
            if (l.LevelKind == lkFlyBy)
            {
                Scatter(Rng.Random(6));
            }
        }
    }
}

// A move that scored nothing ends the turn (the level's end may have cleared the board
// since, so ask again).
void TGame::EndTurnAfterMiss()
{
    if (JustEnded(csMoving) && StateCounts[StateSlot(csVanishing)] == 0)
    {
        NewTurn();
    }
}

// Cubes that have just started to vanish burst into particles.
void TGame::BurstVanishingCubes()
{
    if (PrevStateCounts[StateSlot(csVanishing)] == 0 && StateCounts[StateSlot(csVanishing)] > 0)
    {
        for (int i = 1; i <= CubeCount; ++i)
        {
            if (Cubes[i].State == csVanishing)
            {
                Burst(i);
            }
        }
    }
}

// Special cubes earned by combos and bonus figures.
void TGame::AddOwedSpecials()
{
    for (int k = 0; k < SpecialsOwed; ++k)
    {
        AddSpecial();
    }
    SpecialsOwed = 0;
}

void TGame::UpdateEndPhase(float dt)
{
    switch (EndPhase)
    {
    case epLevelDone:
        UpdateLevelDone(dt);
        break;
    case epGameOver:
        UpdateGameOver(dt);
        break;
    case epPaused:
        Select(0);
        Host.StopSound(snSelected);
        break;
    default:
        break;
    }
}

bool TGame::Still(bool sparksFly) const
{
    const auto none = [this](uint8_t state) { return StateCounts[StateSlot(state)] == 0; };
    for (uint8_t s = csGrowing; s <= csRemoved; ++s)
    {
        if (s != csIdle && !none(s))
        {
            return false;
        }
    }
    for (int s = 0; s < ParticleSystemCount; ++s)
    {
        if (Particles.Count(s) > 0 && !(sparksFly && s == FuseSparkSystem))
        {
            return false;
        }
    }
    // The timed mode's bar drains while playing, and pulses once it is low.
    const bool timedBarMoves = Mode == gmTimed && (EndPhase == epPlaying || Display.Fraction <= 0.2);
    const bool endPhaseRuns = EndPhase == epLevelDone || EndPhase == epGameOver;
    const bool newTurnDue = CurrentLevel().LevelKind != lkBonus && !HasOrdinaryCubes();
    return Labels.LabelCount == 0 && PendingScore <= 0 && SpecialsOwed == 0 && !timedBarMoves &&
           !endPhaseRuns && !newTurnDue && StateCounts == PrevStateCounts;
}

bool TGame::JustEnded(uint8_t state) const
{
    return PrevStateCounts[StateSlot(state)] != 0 && StateCounts[StateSlot(state)] == 0;
}

bool TGame::HasOrdinaryCubes() const
{
    for (int i = 1; i <= CubeCount; ++i)
    {
        if (Cubes[i].State != csWaiting && IsColourKind(Cubes[i].Kind))
        {
            return true;
        }
    }
    return false;
}

void TGame::ShowDelayedLabel(int slot)
{
    TDelayedScoreLabel& d = DelayedLabels[slot];
    Labels.AddLabel(d.Position, 1, 2, d.Text, 14);
    Host.PlaySound(snMessage);
    d.Active = false;
    d.Position = {0, 0, 0};
    d.Text.clear();
}

void TGame::UpdateLevelDone(float dt)
{
    const TLevel& l = CurrentLevel();
    switch (l.LevelKind)
    {
    case lkBonus:
        // PhaseTime is still 0 in the update in which the level ended.
        if (PhaseTime == 0)
        {
            Host.PlaySound(snBonusLevelDone);
        }
        if (PhaseTime >= 1000 && DelayedLabels[1].Active)
        {
            ShowDelayedLabel(1);
        }
        if (PhaseTime >= 2000 && DelayedLabels[2].Active)
        {
            ShowDelayedLabel(2);
        }
        break;
    case lkFlyBy:
        if (PhaseTime == 0)
        {
            Host.PlaySound(snFlyingBy);
        }
        PhaseTime += 0.3 * dt;
        ScatterStep();
        MoveCamera(PhaseTime);
        break;
    default:
        PhaseTime += 5.0 * dt;
        break;
    }

    // The mode-1 bar empties; the mode-2 bar moves to the next level's starting value.
    const double f = PhaseTime / PhaseEnd;
    if (Mode != gmTimed)
    {
        Display.Fraction = 1 - f;
    }
    else if (l.LevelKind == lkFlyBy)
    {
        Display.Fraction = f;
    }
    else
    {
        const double v = Display.StartFraction;
        Display.Fraction = v - (v - 0.5) * f;
    }

    if (PhaseTime >= PhaseEnd)
    {
        Host.ResetEye();
        EndPhase = epPlaying;
        NextLevel();
    }
}

void TGame::WarnOfTimeUp(float dt)
{
    // In the timed mode a bar at or below a fifth beeps, faster the emptier it is: the
    // first beep 150 ms after it gets there, then every 150 to 300 ms. A paused game is
    // silent and its time stands still.
    if (Mode != gmTimed || EndPhase == epPaused)
    {
        return;
    }
    WarningTime += dt;
    const double fraction = BarFraction();
    if (fraction > 0.2)
    {
        NextBeep = 0;
    }
    else if (fraction > 0 && NextBeep == 0)
    {
        NextBeep = WarningTime + 150;
    }
    else if (fraction > 0 && WarningTime >= NextBeep)
    {
        const double urgency = (0.2 - fraction) / 0.2;
        NextBeep += 150 + (1 - urgency) * 150;
        Host.PlaySound(snTimeUp);
    }
}

void TGame::UpdateGameOver(float dt)
{
    PhaseTime += 0.4 * dt;
    MoveCamera(PhaseTime);
    if (PhaseTime >= GameOverEnd)
    {
        Host.ResetEye();
        EndPhase = epPlaying;
        Host.ShowGameOver();
        PhaseTime = 0;
        ClearBoard();
        Host.PlayMusic(tnMenu2);
    }
}
