//+------------------------------------------------------------------+
//| PipMath.mq5 - conversions between prices and pips                |
//+------------------------------------------------------------------+
#property copyright "Brenholt"
#property library

double PipSize(const string symbol) export
{
   int digits = (int)SymbolInfoInteger(symbol, SYMBOL_DIGITS);
   return(digits == 3 || digits == 5 ? 10 * SymbolInfoDouble(symbol, SYMBOL_POINT)
                                     : SymbolInfoDouble(symbol, SYMBOL_POINT));
}
