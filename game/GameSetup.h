// The one way past the game's verbs: the tests, the snapshot tool and the simulator lay
// out boards, levels and figures and step single rules, so they need the fields and the
// rule steps that TGame keeps to itself. The program itself never uses this class.
#pragma once

#include "game/Game.h"

class TGameSetup : public TGame
{
public:
    using TGame::TGame;

    TGameFields& Fields() { return *this; }

    // The fields.
    using TGameFields::BoardQuiet;
    using TGameFields::Cells;
    using TGameFields::Combo;
    using TGameFields::Deal;
    using TGameFields::CubeCount;
    using TGameFields::Cubes;
    using TGameFields::CurrentLevel;
    using TGameFields::DelayedLabels;
    using TGameFields::Display;
    using TGameFields::EndPhase;
    using TGameFields::Figure;
    using TGameFields::FigureCount;
    using TGameFields::Figures;
    using TGameFields::FreeCells;
    using TGameFields::FreeCount;
    using TGameFields::HoverCell;
    using TGameFields::Labels;
    using TGameFields::Level;
    using TGameFields::LevelCount;
    using TGameFields::Levels;
    using TGameFields::LevelTime;
    using TGameFields::Mode;
    using TGameFields::NextBeep;
    using TGameFields::NoScoreMove;
    using TGameFields::Particles;
    using TGameFields::Path;
    using TGameFields::PathLength;
    using TGameFields::PendingScore;
    using TGameFields::PhaseTime;
    using TGameFields::PrevStateCounts;
    using TGameFields::Score;
    using TGameFields::Selected;
    using TGameFields::SetState;
    using TGameFields::ShotCell;
    using TGameFields::SpecialsOwed;
    using TGameFields::StateCounts;
    using TGameFields::WarningTime;
    using TGame::DataFolder;
    using TGame::Host;
    using TGame::Rng;
    using TGame::UserFolder;

    // The rule steps.
    using TGame::AddCube;
    using TGame::AddDot;
    using TGame::AddSpecial;
    using TGame::AddSpecialCube;
    using TGame::Arrive;
    using TGame::BankScore;
    using TGame::BuildPath;
    using TGame::Burst;
    using TGame::CheckFigure;
    using TGame::CheckGameOver;
    using TGame::CheckSquares;
    using TGame::ClearBoard;
    using TGame::CompleteLevel;
    using TGame::ComputeDistances;
    using TGame::DropFreeCell;
    using TGame::EmitFuseSparks;
    using TGame::EndBonusLevel;
    using TGame::ExplodeBomb;
    using TGame::Grow;
    using TGame::GrowWaitingCubes;
    using TGame::Hover;
    using TGame::MoveCamera;
    using TGame::NewFigure;
    using TGame::NewGame;
    using TGame::NewTurn;
    using TGame::NextLevel;
    using TGame::Paint;
    using TGame::PlaceSpecialCube;
    using TGame::PutNewCube;
    using TGame::RemoveCube;
    using TGame::Scatter;
    using TGame::ScatterStep;
    using TGame::Select;
    using TGame::Shoot;
    using TGame::SpinCube;
    using TGame::StartMove;
    using TGame::StartSpin;
    using TGame::StartTurn;
    using TGame::SyncDisplay;
    using TGame::TakeCell;
    using TGame::TakeFreeCell;
    using TGame::Turn;
    using TGame::UpdateMoving;
    using TGame::Vanish;
};
