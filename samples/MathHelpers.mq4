//+------------------------------------------------------------------+
//| MathHelpers.mq4 - small helpers shared by other programs          |
//+------------------------------------------------------------------+
#property copyright "Brenholt"
#property library

double Clamp(double value, double low, double high)
{
   return(MathMax(low, MathMin(high, value)));
}
