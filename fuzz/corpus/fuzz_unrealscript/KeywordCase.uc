CLASS KeywordCase EXPANDS Object NATIVE ABSTRACT;
Var() Config Bool bOn; VAR Transient Byte B; var Name N; var Enum E; var Struct S;
Static Final PostOperator Int ++ (Out Int A) { Return A; }
Simulated Singular Event Tick(Float D) { If2 = IF(true); Self.Super.Default.None; }
State Idle { Begin: While (x) Do Until (y); Switch (z) { Case 1: Break; Default: } }
Intrinsic Iterator Latent Local Global Guid Input Optional Coerce Const Private Preoperator Foreach Function
_ __ _Underscored A_b Weapon3 zzzzzzzzzzzz